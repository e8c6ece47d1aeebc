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

test('the server is found where pip, cmake --install or a build put it, or the setting says', () => {
  const { candidates, findServer } = require('../server');
  const home = fs.mkdtempSync(path.join(require('node:os').tmpdir(), 'kestcmd-'));
  const folder = path.join(home, 'project');
  const built = path.join(folder, 'build', 'tools', 'kestcmd');
  fs.mkdirSync(path.dirname(built), { recursive: true });
  fs.writeFileSync(built, '#!/bin/sh\n', { mode: 0o755 });
  const context = { env: { PATH: path.join(home, 'nowhere') }, home, folders: [folder] };
  try {
    assert.deepStrictEqual(findServer('', context), { program: built });
    // Before the build: where pip --user, cmake --install and the Debian package put it.
    const venv = path.join(folder, '.venv', 'bin', 'kestcmd');
    const looked = candidates('', context);
    assert.ok(looked.indexOf(venv) < looked.indexOf(built));
    assert.deepStrictEqual(looked.slice(-3), [path.join(home, '.local', 'bin', 'kestcmd'),
                                              '/usr/local/bin/kestcmd', '/usr/bin/kestcmd']);
    // The setting wins: a path (with ~), or a name on PATH; a setting that finds nothing says so.
    assert.deepStrictEqual(candidates('~/bin/kestcmd', context), [path.join(home, 'bin', 'kestcmd')]);
    assert.match(findServer('kestcmd-dev', { ...context, env: { PATH: path.dirname(built) } }).message,
                 /^kestcmd was not found on PATH as kestcmd.path says \('kestcmd-dev'\)/);
    // Not executable: not taken; the message names the places besides PATH, home as ~.
    fs.chmodSync(built, 0o644);
    const { message } = findServer('', context);
    assert.ok(message.startsWith('kestcmd was not found on PATH, nor at ~/project/.venv/bin/kestcmd, ' +
                                 '~/project/venv/bin/kestcmd, ~/project/build/tools/kestcmd, ' +
                                 '~/.local/bin/kestcmd, /usr/local/bin/kestcmd, /usr/bin/kestcmd, so '),
              message);
  } finally {
    fs.rmSync(home, { recursive: true });
  }
});
