// The TextMate grammar tokenises the example jobs with the scopes a theme colours by.
const { test } = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const oniguruma = require('vscode-oniguruma');
const textmate = require('vscode-textmate');

const repo = path.join(__dirname, '..', '..');
const grammarPath = path.join(repo, 'editors', 'par.tmLanguage.json');

async function loadGrammar() {
  const wasm = fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer);
  const registry = new textmate.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (text) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async () =>
      textmate.parseRawGrammar(fs.readFileSync(grammarPath, 'utf8'), grammarPath),
  });
  return registry.loadGrammar('source.par');
}

// Every token of `file` as { line (1-based), text, scopes }.
function tokenise(grammar, file) {
  const lines = fs.readFileSync(path.join(repo, file), 'utf8').split(/\r?\n/);
  const tokens = [];
  let stack = textmate.INITIAL;
  lines.forEach((line, i) => {
    const result = grammar.tokenizeLine(line, stack);
    for (const token of result.tokens) {
      tokens.push({ line: i + 1, text: line.slice(token.startIndex, token.endIndex),
                    scopes: token.scopes });
    }
    stack = result.ruleStack;
  });
  return tokens;
}

// file, line, the text of a token on it, and the innermost scope it must have (null: none of
// the grammar's own below the block).
const cases = [
  ['examples/topology.par', 1, '#', 'punctuation.definition.comment.par'],
  ['examples/topology.par', 3, 'MODEL_INPUT', 'keyword.other.block.par'],
  ['examples/topology.par', 4, 'ID_NAME', 'variable.other.key.par'],
  ['examples/topology.par', 4, '=', 'keyword.operator.assignment.par'],
  ['examples/topology.par', 6, 'END_', 'keyword.control.end.par'],
  ['examples/topology.par', 10, 'ELEMENT', 'constant.language.par'],
  ['examples/topology.par', 11, '1-12000', 'constant.numeric.integer-list.par'],
  ['examples/topology.par', 12, '12500-14000:2', 'constant.numeric.integer-list.par'],
  ['examples/topology.par', 13, '15001', 'constant.numeric.par'],
  ['examples/topology.par', 18, 'elem', 'constant.language.par'],
  ['examples/topology.par', 9, 'design_space', null],
  ['examples/topology.par', 44, '0.3', 'constant.numeric.par'],
  ['tests/tools/lsp_mistakes.par', 20, 'dresp', 'keyword.other.block.par'],
  ['tests/tools/lsp_mistakes.par', 22, 'type', 'variable.other.key.par'],
  ['tests/tools/lsp_mistakes.par', 24, 'end_', 'keyword.control.end.par'],
  ['tests/tools/lsp_mistakes.par', 29, 'TYPPE', 'variable.other.key.par'],
  ['tests/tools/lsp_mistakes.par', 32, 'CONSTRAINTS', 'invalid.illegal.block.par'],
];

test('tokens of the example jobs have their scopes', async () => {
  const grammar = await loadGrammar();
  const tokenised = new Map();
  for (const [file, line, text, scope] of cases) {
    if (!tokenised.has(file)) tokenised.set(file, tokenise(grammar, file));
    const token = tokenised.get(file).find((t) => t.line === line && t.text.trim() === text);
    assert.ok(token, `${file}:${line}: no token '${text}'`);
    const innermost = token.scopes[token.scopes.length - 1];
    const expected = scope ?? 'meta.block.par';
    assert.strictEqual(innermost, expected, `${file}:${line}: '${text}' ${token.scopes}`);
  }
});

// The words of the X-macro list `list` in a vocabulary header.
function vocabulary(header, list) {
  const text = fs.readFileSync(path.join(repo, 'engine', 'vocabulary', header), 'utf8');
  const body = text.slice(text.indexOf(`#define ${list}(X)`)).split(/\n\s*\n/)[0];
  return [...body.matchAll(/X\((\w+)/g)].map((m) => m[1]);
}

test('the grammar knows the block keywords and keyword values of the vocabulary', () => {
  const grammar = JSON.parse(fs.readFileSync(grammarPath, 'utf8'));
  const words = (pattern) =>
    new Set(pattern.match(/\(\?i:([A-Z0-9_|]+)\)/)[1].split('|'));
  const keywords = vocabulary('KestCmdDefs.h', 'KEST_CMD_TYPES').filter((k) => k !== 'CMD_PLACEHOLDER');
  assert.deepStrictEqual(words(grammar.repository.block.begin), new Set(keywords));
  const values = grammar.repository.value.patterns.find((p) => p.name === 'constant.language.par');
  assert.deepStrictEqual(words(values.match), new Set(vocabulary('KestCmdEnumValues.h', 'KEST_ENUM_VALUES')));
});
