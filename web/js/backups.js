// Backups of files saved in place: a file's bytes before each save, kept in
// the browser's origin-private file system, newest 20 per file.
//
// The page has no path of a file, only its handle, so each file's backups
// go by the file itself: every file handle backed up gets a number of its
// own, kept with the handle in IndexedDB, and another handle gets the same
// number only when it is the same file (isSameEntry). Two files both named
// Wedge.plt from two folders so keep a history each. A backup folder is
// named after the file's name and its number ("Wedge.plt~3"), so that the
// name stays readable in a listing of the storage.
import { keep, keptValue } from './kept.js';

const kKept = 20;
const kFiles = 'backup-files';  // [{number, handle}] in IndexedDB

// A backup's name sorts by age: the time in milliseconds, zero-padded.
let lastStamp = 0;
function newName() {
  lastStamp = Math.max(Date.now(), lastStamp + 1);
  return String(lastStamp).padStart(15, '0') + '.plt';
}

// The numbers found this visit, by handle; the files numbered this visit,
// for when the browser keeps nothing in IndexedDB.
const numbers = new WeakMap();
let numberedThisVisit = [];

// The file's number; a file not backed up before gets the next one when
// `assign`, else null.
async function numberOf(handle, assign) {
  const known = [];
  for (const entry of (await keptValue(kFiles)) || numberedThisVisit) {
    if (await handle.isSameEntry(entry.handle).catch(() => false))
      return entry.number;
    known.push(entry);
  }
  if (!assign)
    return null;
  const number = known.reduce((most, entry) => Math.max(most, entry.number), 0) + 1;
  numberedThisVisit = known.concat([{ number: number, handle: handle }]);
  await keep(kFiles, numberedThisVisit);
  return number;
}

// One lookup at a time, also across the page's tabs: two at once could give
// two files one number.
async function fileNumber(handle, assign) {
  if (!numbers.has(handle)) {
    const lookup = () => numberOf(handle, assign);
    const number = await (navigator.locks ? navigator.locks.request('vantrel-backup-numbers', lookup) : lookup());
    if (number === null)
      return null;
    numbers.set(handle, number);
  }
  return numbers.get(handle);
}

async function folderOf(handle, create) {
  const number = await fileNumber(handle, create);
  if (number === null)
    throw new Error('no backups');
  const root = await navigator.storage.getDirectory();
  const backups = await root.getDirectoryHandle('backups', { create: create });
  return backups.getDirectoryHandle(encodeURIComponent(handle.name) + '~' + number, { create: create });
}

// The backups of the file of this handle, newest first: [{name, time}].
export async function listBackups(handle) {
  let folder;
  try {
    folder = await folderOf(handle, false);
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
export async function keepBackup(handle, bytes) {
  const folder = await folderOf(handle, true);
  const backup = await folder.getFileHandle(newName(), { create: true });
  const writable = await backup.createWritable();
  await writable.write(bytes);
  await writable.close();
  const all = await listBackups(handle);
  for (const old of all.slice(kKept))
    await folder.removeEntry(old.name);
}

export async function backupBytes(handle, name) {
  const folder = await folderOf(handle, false);
  const backup = await folder.getFileHandle(name);
  return new Uint8Array(await (await backup.getFile()).arrayBuffer());
}
