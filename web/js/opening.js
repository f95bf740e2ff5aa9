// Opening files: the file and folder inputs, dropped files and folders, and
// Close all. Adds to `opened` and announces 'rows' while files are read,
// 'opened' when an open is done.
import { core, openBytes } from './core.js';
import { body, opening as el } from './elements.js';
import { emit, opened, state } from './state.js';

// A folder's files: its pilot files (found in its subfolders too), in
// path order, as vantrel-cli table takes them from a folder.
function pilotFilesOf(entries) {
  const encoder = new TextEncoder();
  const keyed = entries.filter((e) => core.isPilotFileName(e.file.name))
    .map((e) => ({ file: e.file, key: encoder.encode(e.path) }));
  // In byte order of the paths' UTF-8.
  const compare = (a, b) => {
    const n = Math.min(a.length, b.length);
    for (let k = 0; k < n; ++k) {
      if (a[k] !== b[k])
        return a[k] - b[k];
    }
    return a.length - b.length;
  };
  return keyed.sort((a, b) => compare(a.key, b.key));
}

// Reads many files at a time, and loads each into the core once it and the
// files before it are read. The browser reads quickest when asked for many
// files at once; with few in flight it waits between reads. It does much of
// a read's work on the page's own thread, so the loading (and the table rows
// made meanwhile) runs as tasks of background priority where the browser has
// them: the reads' work goes first, and the loading fills the time the page
// waits for the disk. Memory holds at most the files in flight and
// kReadsHeld more read but not yet loaded (512 pilot files: 78 MB).
// (A read of a Blob made of many files, or of a slice of a file, is no
// quicker: making it asks the system for each file's size in turn, while the
// page waits; and reading only the stretches the table needs takes a read
// per stretch, slower than one read of the whole file.)
const kReadsInFlight = 256;
const kReadsHeld = 256;
// Table rows are made while the files are read, this many at a time.
const kRowsAtOnce = 50;

const later = globalThis.scheduler && globalThis.scheduler.postTask
  ? (task) => globalThis.scheduler.postTask(task, { priority: 'background' })
  : (task) => setTimeout(task, 0);

// Opens the files (File objects, or {name, arrayBuffer} alike); `extra`
// gives each opened file's further fields from its index and the bytes read.
export async function openFiles(files, extra) {
  el.status.textContent = 'Opening ' + files.length + ' file(s)...';
  body.dataset.busy = '1';
  const read = new Array(files.length);
  let nextRead = 0;
  let nextOpen = 0;
  let announced = opened.length;
  let scheduled = false;
  let loadedSome = null;  // {promise, resolve}: readers held back wait for it
  const openReady = () => {
    scheduled = false;
    for (; nextOpen < files.length && read[nextOpen] !== undefined; ++nextOpen) {
      const file = files[nextOpen];
      const id = openBytes(file.name, read[nextOpen]);
      opened.push(Object.assign({ id: id, name: file.name, file: file, ok: core.loaded(id) },
                                extra ? extra(nextOpen, read[nextOpen]) : {}));
      read[nextOpen] = undefined;
    }
    if (opened.length - announced >= kRowsAtOnce) {
      announced = opened.length;
      emit('rows');
    }
    if (loadedSome) {
      loadedSome.resolve();
      loadedSome = null;
    }
  };
  const reader = async () => {
    for (;;) {
      while (nextRead < files.length && nextRead - nextOpen >= kReadsInFlight + kReadsHeld) {
        if (!loadedSome) {
          let resolve;
          loadedSome = { promise: new Promise((r) => { resolve = r; }) };
          loadedSome.resolve = resolve;
        }
        await loadedSome.promise;
      }
      // Others may have taken the last files while this one waited.
      if (nextRead >= files.length)
        return;
      const k = nextRead++;
      try {
        read[k] = new Uint8Array(await files[k].arrayBuffer());
      } catch {
        read[k] = null;  // gone or not allowed since it was picked
      }
      if (!scheduled) {
        scheduled = true;
        later(openReady);
      }
    }
  };
  await Promise.all(Array.from({ length: Math.min(kReadsInFlight, files.length) }, reader));
  openReady();  // what the tasks have not loaded yet
  emit('opened');
  el.status.textContent = opened.length + ' file(s) open';
  body.dataset.opened = String(opened.length);
  // The table shows first; what waits for it follows once it is on screen.
  await nextFrame();
  emit('shown');
  delete body.dataset.busy;
}

// After the next frame is painted (or a moment, in a tab not shown).
function nextFrame() {
  return new Promise((resolve) => {
    requestAnimationFrame(() => setTimeout(resolve, 0));
    setTimeout(resolve, 100);
  });
}

function readEntries(reader) {
  return new Promise((resolve, reject) => reader.readEntries(resolve, reject));
}

// A dropped file entry's file. One that cannot be read (gone since it was
// dropped) still opens, as a file that is not there, so that its load error
// names it.
function fileOf(entry) {
  return new Promise((resolve, reject) => entry.file(resolve, reject))
    .catch(() => ({ name: entry.name, arrayBuffer: () => Promise.reject(new Error('unreadable')) }));
}

// Every file under a dropped entry, with its path. A folder the browser
// will not list is named in `unlisted`; the rest of the drop goes on.
async function filesUnder(entry, into, unlisted) {
  if (entry.isFile) {
    into.push({ path: entry.fullPath, file: await fileOf(entry) });
    return;
  }
  const reader = entry.createReader();
  for (;;) {
    let batch;
    try {
      batch = await readEntries(reader);
    } catch {
      unlisted.push(entry.fullPath || entry.name);
      return;
    }
    if (batch.length === 0)
      break;
    for (const child of batch)
      await filesUnder(child, into, unlisted);
  }
}

// The dropped items in the order dropped: {entry} (a file or a folder) or,
// where the browser gives no entry for an item, {file}.
async function openDropped(items) {
  const files = [];
  const unlisted = [];
  for (const item of items) {
    if (item.file) {
      files.push(item.file);
    } else if (item.entry.isFile) {
      files.push(await fileOf(item.entry));
    } else {
      const found = [];
      await filesUnder(item.entry, found, unlisted);
      files.push(...pilotFilesOf(found).map((e) => e.file));
    }
  }
  await openFiles(files);
  if (unlisted.length > 0)
    el.status.textContent += '; the browser could not list ' + unlisted.join(', ');
}

function closeAll() {
  core.closeAll();
  opened.length = 0;
  state.selected = -1;
  emit('closed');
  el.status.textContent = '';
  body.dataset.opened = '0';
}

export function startOpening() {
  el.files.addEventListener('change', (event) => {
    const files = Array.from(event.target.files);
    event.target.value = '';
    openFiles(files);
  });
  el.folder.addEventListener('change', (event) => {
    const found = Array.from(event.target.files).map((f) => ({ path: f.webkitRelativePath || f.name, file: f }));
    event.target.value = '';
    openFiles(pilotFilesOf(found).map((e) => e.file));
  });
  const drop = el.drop;
  drop.addEventListener('dragover', (event) => { event.preventDefault(); drop.classList.add('over'); });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', (event) => {
    event.preventDefault();
    drop.classList.remove('over');
    // The items can be read only while the event lasts.
    const items = [];
    for (const item of Array.from(event.dataTransfer.items)) {
      if (item.kind !== 'file')
        continue;
      const entry = item.webkitGetAsEntry ? item.webkitGetAsEntry() : null;
      const file = entry ? null : item.getAsFile();
      if (entry || file)
        items.push(entry ? { entry: entry } : { file: file });
    }
    openDropped(items);
  });
  drop.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' || event.key === ' ') {
      event.preventDefault();
      el.files.click();
    }
  });
  // Dropping anywhere else must not open the file in place of the page.
  window.addEventListener('dragover', (event) => event.preventDefault());
  window.addEventListener('drop', (event) => event.preventDefault());
  el.closeAll.addEventListener('click', closeAll);
}
