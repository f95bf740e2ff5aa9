// The main log panel: the entries collected, kept in the browser's storage
// as they change; Download log; Add all entries; and a main log file on disk
// that each added entry is appended to, where the browser can.
import { core } from './core.js';
import { log as el } from './elements.js';
import { allowed, keep, keptValue } from './kept.js';
import { opened } from './state.js';
import { download, setMessage, withoutLastLineEnd } from './util.js';

const kLogStorage = 'vantrel.log';
// The log's text when it was last downloaded or written to a file.
const kSavedStorage = 'vantrel.log.saved';

// The entries collected in the log panel, in order.
let logText = '';
let savedText = '';
// The main log file the panel is bound to, and whether it may be written.
let logFile = null;
let logFileAllowed = false;

function stored(key) {
  try { return localStorage.getItem(key) || ''; } catch { return ''; }
}

function store(key, text) {
  try { localStorage.setItem(key, text); } catch { /* storage off: kept for this visit */ }
}

function setLog(text) {
  logText = text;
  el.text.value = logText;
  store(kLogStorage, logText);
}

function markSaved() {
  savedText = logText;
  store(kSavedStorage, savedText);
}

// Whether leaving would lose entries that went nowhere yet.
function unsaved() {
  return logText !== '' && logText !== savedText;
}

// The main log file's text with the entries appended by the main log's rule,
// written back; the file is read first so that nothing another program wrote
// is lost. Returns the message to show and whether it is a refusal.
async function appendToFile(handle, entries) {
  try {
    const existing = core.logText(new Uint8Array(await (await handle.getFile()).arrayBuffer()));
    if (existing.refusal)
      return [existing.refusal, true];
    let text = existing.text;
    for (const entry of entries)
      text = core.logAppend(text, entry);
    const writable = await handle.createWritable();
    await writable.write(core.logBytes(text));
    await writable.close();
    return ['The entries were appended to ' + handle.name + '.', false];
  } catch (e) {
    return ['Cannot write to ' + handle.name + ': ' + e.message, true];
  }
}

async function addEntries(entries, status) {
  let text = logText;
  for (const entry of entries)
    text = core.logAppend(text, entry);
  setLog(text);
  setMessage(el.message, status || '');
  if (logFile && logFileAllowed && entries.length > 0) {
    const [message, refusal] = await appendToFile(logFile, entries);
    if (!refusal)
      markSaved();
    setMessage(el.message, (status ? status + '. ' : '') + message, refusal);
  }
}

export function addToLog(entry) {
  if (entry)
    addEntries([entry], '');
}

function addAll() {
  const result = core.allEntries(opened.map((pilot) => pilot.id));
  if (result.error) {
    setMessage(el.message, result.error, true);
    return;
  }
  addEntries(result.entries, result.status);
}

async function appendToLogFile() {
  if (!logText)
    return;
  let handle;
  try {
    handle = await window.showSaveFilePicker({ suggestedName: 'MainLog.txt' });
  } catch {
    return;  // the user cancelled
  }
  const [message, refusal] = await appendToFile(handle, withoutLastLineEnd(logText).split('\n'));
  if (!refusal)
    markSaved();
  setMessage(el.message, message, refusal);
}

function showLogFile() {
  el.logFileName.textContent = !logFile ? 'No log file: entries stay in this page until downloaded.'
    : logFileAllowed ? 'Each added entry is appended to ' + logFile.name + '.'
      : 'Log file ' + logFile.name + ': click Log file... to allow writing to it again.';
}

// Binds the panel to a main log file: the one remembered, once allowed
// again, or one the user picks.
async function chooseLogFile() {
  if (logFile && !logFileAllowed) {
    logFileAllowed = await allowed(logFile, 'readwrite', true);
    showLogFile();
    if (logFileAllowed)
      return;
  }
  try {
    logFile = await window.showSaveFilePicker({ suggestedName: 'MainLog.txt' });
  } catch {
    return;  // the user cancelled
  }
  logFileAllowed = await allowed(logFile, 'readwrite', true);
  await keep('logFile', logFile);
  showLogFile();
}

export async function startLog() {
  savedText = stored(kSavedStorage);
  setLog(stored(kLogStorage));
  el.download.addEventListener('click', () => {
    if (!logText)
      return;
    download('MainLog.txt', core.logBytes(logText), 'text/plain');
    markSaved();
  });
  el.clear.addEventListener('click', () => setLog(''));
  el.addAll.addEventListener('click', addAll);
  window.addEventListener('beforeunload', (event) => {
    if (unsaved()) {
      event.preventDefault();
      event.returnValue = '';
    }
  });
  if (window.showSaveFilePicker) {
    el.appendFile.classList.remove('hidden');
    el.appendFile.addEventListener('click', appendToLogFile);
    el.logFile.classList.remove('hidden');
    el.logFile.addEventListener('click', chooseLogFile);
    logFile = (await keptValue('logFile')) || null;
    logFileAllowed = logFile ? await allowed(logFile, 'readwrite', false) : false;
    showLogFile();
  }
}
