// What can be checked without VS Code: the manifest's contributions point at files that exist
// and load, and the extension's code finds its language client. Activation itself needs VS Code.
const { test } = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');

const dir = path.join(__dirname, '..');
const manifest = JSON.parse(fs.readFileSync(path.join(dir, 'package.json'), 'utf8'));

test('contributions point at files that load', () => {
  const [language] = manifest.contributes.languages;
  const [grammar] = manifest.contributes.grammars;
  assert.strictEqual(grammar.language, language.id);
  assert.ok(manifest.activationEvents.includes(`onLanguage:${language.id}`));
  const configuration = JSON.parse(fs.readFileSync(path.join(dir, language.configuration), 'utf8'));
  assert.strictEqual(configuration.comments.lineComment, '#');
  const rules = JSON.parse(fs.readFileSync(path.join(dir, grammar.path), 'utf8'));
  assert.strictEqual(rules.scopeName, grammar.scopeName);
  assert.ok(fs.existsSync(path.join(dir, manifest.main)));
});

test('the extension finds its language client', () => {
  const source = fs.readFileSync(path.join(dir, manifest.main), 'utf8');
  for (const [, module] of source.matchAll(/require\('([^']+)'\)/g)) {
    if (module !== 'vscode') assert.ok(require.resolve(module, { paths: [dir] }), module);
  }
});
