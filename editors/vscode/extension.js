// Starts `kestcmd lsp` for job files (language id "par") and stops it with the extension.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function activate() {
  const command = vscode.workspace.getConfiguration('kestcmd').get('path', 'kestcmd');
  client = new LanguageClient('kestcmd', 'kestcmd', { command, args: ['lsp'] },
                              { documentSelector: [{ language: 'par' }] });
  return client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
