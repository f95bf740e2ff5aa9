// Opening and saving the files themselves where the browser can (the File
// System Access API): Open files... opens pilot files for reading and
// writing, Save to file writes the changed details back into the opened
// file, keeping its bytes before as a backup; the files opened are
// remembered across visits and opened again with one click.
import { core, openBytes } from './core.js';
import { changedBytes, editMessage } from './edit.js';
import { inPlace as el } from './elements.js';
import { backupBytes, keepBackup, listBackups } from './backups.js';
import { allowed, keep, keptValue } from './kept.js';
import { openFiles } from './opening.js';
import { select } from './pilots.js';
import { emit, on, opened, selectedPilot, state } from './state.js';

const kPilotTypes = [{ description: 'X-Wing Alliance pilot files', accept: { 'application/octet-stream': ['.plt'] } }];

// Handles opened in place this visit and before, to open again.
let remembered = [];

function sameBytes(a, b) {
  if (a.length !== b.length)
    return false;
  for (let k = 0; k < a.length; ++k) {
    if (a[k] !== b[k])
      return false;
  }
  return true;
}

async function bytesOf(handle) {
  return new Uint8Array(await (await handle.getFile()).arrayBuffer());
}

// Opens the files of these handles, each with its handle and the bytes it
// loaded with.
export async function openHandles(handles) {
  const files = handles.map((handle) => ({ name: handle.name, arrayBuffer: async () => (await handle.getFile()).arrayBuffer() }));
  await openFiles(files, (k, bytes) => ({ handle: handles[k], loadedBytes: bytes }));
  remembered = remembered.concat(handles);
  await keep('pilots', remembered);
  showReopen([]);
}

function showReopen(handles) {
  el.reopen.classList.toggle('hidden', handles.length === 0);
  el.reopen.textContent = 'Open again: ' + handles.map((h) => h.name).join(', ');
}

async function pickAndOpen() {
  let handles;
  try {
    handles = await window.showOpenFilePicker({ multiple: true, types: kPilotTypes });
  } catch {
    return;  // the user cancelled
  }
  const granted = [];
  for (const handle of handles) {
    if (await allowed(handle, 'readwrite', true))
      granted.push(handle);
  }
  await openHandles(granted);
}

async function reopen() {
  const handles = (await keptValue('pilots')) || [];
  const granted = [];
  for (const handle of handles) {
    if (await allowed(handle, 'readwrite', true))
      granted.push(handle);
  }
  remembered = [];
  await openHandles(granted);
}

// An opened file, loaded again from `bytes` once they are in the file.
function reload(pilot, bytes) {
  const index = opened.indexOf(pilot);
  if (index < 0)
    return;  // closed meanwhile
  pilot.id = openBytes(pilot.name, bytes);
  pilot.ok = core.loaded(pilot.id);
  pilot.loadedBytes = bytes;
  pilot.file = new File([bytes], pilot.name);
  emit('reloaded', index);
  if (index === state.selected)
    select(index, false);
}

async function writeInPlace(pilot, bytes, before) {
  await keepBackup(pilot.handle, before);
  const writable = await pilot.handle.createWritable();
  await writable.write(bytes);
  await writable.close();
  reload(pilot, bytes);
}

async function save() {
  const pilot = selectedPilot();
  if (!pilot || !pilot.ok)
    return;
  if (!pilot.handle) {
    editMessage(pilot.name + ' was not opened with Open files..., so it cannot be written here; use Download changed file.', true);
    return;
  }
  try {
    if (!(await allowed(pilot.handle, 'readwrite', true))) {
      editMessage('Writing to ' + pilot.name + ' is not allowed. Nothing was written.', true);
      return;
    }
    const now = await bytesOf(pilot.handle);
    if (!sameBytes(now, pilot.loadedBytes) && !window.confirm(core.changedQuestion(pilot.name))) {
      editMessage('Nothing was written.', false);
      return;
    }
    const result = changedBytes(pilot, now);
    if (!result)
      return;
    await writeInPlace(pilot, result.bytes, now);
    editMessage(result.message + ' ' + pilot.name + ' was saved; its bytes before are kept as a backup.', false);
  } catch (e) {
    editMessage('Cannot write to ' + pilot.name + ': ' + e.message, true);
  }
  await showBackups();
}

async function showBackups() {
  const pilot = selectedPilot();
  const backups = pilot && pilot.handle ? await listBackups(pilot.handle) : [];
  if (selectedPilot() !== pilot)
    return;  // another file was selected meanwhile: its listing follows
  const fragment = document.createDocumentFragment();
  for (const backup of backups) {
    const option = document.createElement('option');
    option.value = backup.name;
    option.textContent = backup.time.toLocaleString();
    fragment.appendChild(option);
  }
  el.backups.replaceChildren(fragment);
  el.backups.disabled = el.restore.disabled = backups.length === 0;
}

async function restore() {
  const pilot = selectedPilot();
  if (!pilot || !pilot.handle || !el.backups.value)
    return;
  try {
    const bytes = await backupBytes(pilot.handle, el.backups.value);
    await writeInPlace(pilot, bytes, await bytesOf(pilot.handle));
    editMessage(pilot.name + ' was restored from the backup of ' + el.backups.selectedOptions[0].textContent + '.', false);
  } catch (e) {
    editMessage('Cannot restore ' + pilot.name + ': ' + e.message, true);
  }
  await showBackups();
}

export async function startInPlace() {
  if (!window.showOpenFilePicker) {
    for (const control of [el.open, el.save, el.backups, el.restore])
      control.classList.add('hidden');
    el.note.textContent = 'This browser cannot write to files on disk, so changed files and the log are downloaded.';
    return;
  }
  el.open.addEventListener('click', pickAndOpen);
  el.reopen.addEventListener('click', reopen);
  el.save.addEventListener('click', save);
  el.restore.addEventListener('click', restore);
  on('selected', showBackups);
  on('closed', () => {
    remembered = [];
    keep('pilots', undefined);
  });
  // Files opened from the system's file manager (the installed page's
  // file handler for .plt).
  if (window.launchQueue)
    window.launchQueue.setConsumer((launch) => { if (launch.files.length > 0) openHandles(launch.files); });
  showReopen((await keptValue('pilots')) || []);
  await showBackups();
}
