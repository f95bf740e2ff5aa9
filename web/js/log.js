// The main log panel: the entries collected, Download log, and appending
// to a main log file on disk where the browser can.
import { core } from './core.js';
import { log as el } from './elements.js';
import { download, setMessage, withoutLastLineEnd } from './util.js';

// The entries collected in the log panel, in order.
let logText = '';

export function addToLog(entry) {
  if (!entry)
    return;
  logText = core.logAppend(logText, entry);
  el.text.value = logText;
  setMessage(el.message, '');
}

async function appendToLogFile() {
  if (!logText)
    return;
  let handle;
  try {
    handle = await window.showSaveFilePicker({ suggestedName: 'MainLog.txt' });
  } catch (e) {
    return;  // the user cancelled
  }
  try {
    const existing = core.logText(new Uint8Array(await (await handle.getFile()).arrayBuffer()));
    if (existing.refusal) {
      setMessage(el.message, existing.refusal, true);
      return;
    }
    let text = existing.text;
    for (const entry of withoutLastLineEnd(logText).split('\n'))
      text = core.logAppend(text, entry);
    const writable = await handle.createWritable();
    await writable.write(core.logBytes(text));
    await writable.close();
    setMessage(el.message, 'The entries were appended to ' + handle.name + '.', false);
  } catch (e) {
    setMessage(el.message, 'Cannot write to ' + handle.name + ': ' + e.message, true);
  }
}

export function startLog() {
  el.download.addEventListener('click', () => { if (logText) download('MainLog.txt', core.logBytes(logText), 'text/plain'); });
  el.clear.addEventListener('click', () => { logText = ''; el.text.value = ''; });
  if (window.showSaveFilePicker) {
    el.appendFile.classList.remove('hidden');
    el.appendFile.addEventListener('click', appendToLogFile);
  }
}
