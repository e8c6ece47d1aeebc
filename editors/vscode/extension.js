// Starts `kestcmd lsp` for job files (language id "par") and stops it with the extension. When
// the program is not found, says where it looked and offers the setting kestcmd.path.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');
const { findServer } = require('./server');

let client;

async function notFound(message) {
  const choice = await vscode.window.showErrorMessage(message, 'Open Settings');
  if (choice) {
    await vscode.commands.executeCommand('workbench.action.openSettings', 'kestcmd.path');
  }
}

async function activate() {
  const setting = vscode.workspace.getConfiguration('kestcmd').get('path', '');
  const folders = (vscode.workspace.workspaceFolders || []).map((folder) => folder.uri.fsPath);
  const found = findServer(setting, { folders });
  if (!found.program) {
    await notFound(found.message);
    return;
  }
  client = new LanguageClient('kestcmd', 'kestcmd', { command: found.program, args: ['lsp'] },
                              { documentSelector: [{ language: 'par' }] });
  try {
    await client.start();
  } catch (failure) {
    client = undefined;
    await notFound(`${found.program} lsp did not start: ${failure.message || failure}`);
  }
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
