// Backups of files saved in place: a file's bytes before each save, kept in
// the browser's origin-private file system, newest 20 per file.
const kKept = 20;

// A backup's name sorts by age: the time in milliseconds, zero-padded.
let lastStamp = 0;
function newName() {
  lastStamp = Math.max(Date.now(), lastStamp + 1);
  return String(lastStamp).padStart(15, '0') + '.plt';
}

async function folderOf(fileName, create) {
  const root = await navigator.storage.getDirectory();
  const backups = await root.getDirectoryHandle('backups', { create: create });
  return backups.getDirectoryHandle(encodeURIComponent(fileName), { create: create });
}

// The backups of the file, newest first: [{name, time}].
export async function listBackups(fileName) {
  let folder;
  try {
    folder = await folderOf(fileName, false);
  } catch {
    return [];  // none yet
  }
  const names = [];
  for await (const name of folder.keys())
    names.push(name);
  names.sort().reverse();
  return names.map((name) => ({ name: name, time: new Date(Number(name.slice(0, 15))) }));
}

// Keeps `bytes` as the file's newest backup and drops all but the newest 20.
export async function keepBackup(fileName, bytes) {
  const folder = await folderOf(fileName, true);
  const handle = await folder.getFileHandle(newName(), { create: true });
  const writable = await handle.createWritable();
  await writable.write(bytes);
  await writable.close();
  const all = await listBackups(fileName);
  for (const old of all.slice(kKept))
    await folder.removeEntry(old.name);
}

export async function backupBytes(fileName, name) {
  const folder = await folderOf(fileName, false);
  const handle = await folder.getFileHandle(name);
  return new Uint8Array(await (await handle.getFile()).arrayBuffer());
}
