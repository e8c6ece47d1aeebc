"""Validates the built-in schema and the schema kestcmd prints against the JSON Schema of the
schema format.   validate_schema.py JSON_SCHEMA BUILTIN [EMULATOR] KESTCMD"""
import json
import subprocess
import sys

try:
    import jsonschema
except ImportError:
    sys.exit(77)  # skipped where python3-jsonschema is missing (CI installs it)

format_schema_path, builtin_path, *kestcmd = sys.argv[1:]
with open(format_schema_path, encoding="utf-8") as f:
    format_schema = json.load(f)
jsonschema.Draft7Validator.check_schema(format_schema)
with open(builtin_path, encoding="utf-8") as f:
    builtin = json.load(f)
printed = json.loads(subprocess.run([*kestcmd, "schema"], check=True, capture_output=True).stdout)
for name, document in (("built-in", builtin), ("printed", printed)):
    errors = list(jsonschema.Draft7Validator(format_schema).iter_errors(document))
    for error in errors:
        print(f"{name}: {'/'.join(map(str, error.path))}: {error.message}")
    if errors:
        sys.exit(1)
# A wrong schema fails: a reading that is none.
wrong = {"keys": {"X": {"reading": "numbr"}}}
if jsonschema.Draft7Validator(format_schema).is_valid(wrong):
    print("a reading that is none passed")
    sys.exit(1)
