// Where the extension finds the kestcmd program: the setting kestcmd.path when it is set (a path,
// or a name looked up on PATH), otherwise PATH and then the places that pip, cmake --install and
// the Debian package put it. Needs no VS Code, so that its tests run under node alone.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

function executable(file) {
  try {
    fs.accessSync(file, fs.constants.X_OK);
    return fs.statSync(file).isFile();
  } catch {
    return false;
  }
}

// The files to try, in order, for `setting` (the value of kestcmd.path, maybe empty) with the
// environment `env`, the home folder `home` and the workspace folders `folders`.
function candidates(setting, { env = process.env, home = os.homedir(), folders = [] } = {}) {
  const name = process.platform === 'win32' ? 'kestcmd.exe' : 'kestcmd';
  const onPath = (program) =>
    (env.PATH || '').split(path.delimiter).filter(Boolean).map((dir) => path.join(dir, program));
  if (setting) {
    if (setting.includes('/') || setting.includes(path.sep)) {
      return [path.resolve(setting.replace(/^~(?=$|[/\\])/, home))];
    }
    return onPath(setting);
  }
  return [
    ...onPath(name),
    ...folders.flatMap((folder) => [
      path.join(folder, '.venv', 'bin', name),
      path.join(folder, 'venv', 'bin', name),
      path.join(folder, 'build', 'tools', name),
    ]),
    path.join(home, '.local', 'bin', name),
    path.join('/usr/local/bin', name),
    path.join('/usr/bin', name),
  ];
}

// { program } for the first candidate that is an executable file, or { message } saying where
// it was looked for.
function findServer(setting, { env = process.env, home = os.homedir(), folders = [] } = {}) {
  const looked = [...new Set(candidates(setting, { env, home, folders }))];
  const program = looked.find(executable);
  if (program) return { program };
  const pathDirs = new Set((env.PATH || '').split(path.delimiter));
  const places = looked.filter((file) => !pathDirs.has(path.dirname(file)))
    .map((file) => (file.startsWith(home + path.sep) ? '~' + file.slice(home.length) : file));
  const where = setting && !places.length ? `on PATH as kestcmd.path says ('${setting}')`
    : setting ? `at ${places[0]}, as kestcmd.path says`
    : `on PATH, nor at ${places.join(', ')}`;
  return {
    message: `kestcmd was not found ${where}, so job files get no checks, completion or ` +
             'navigation. Install it (pip install, the Debian package or cmake --install) or ' +
             'set kestcmd.path to the program.',
  };
}

module.exports = { candidates, findServer };
