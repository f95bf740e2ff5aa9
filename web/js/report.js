// The selected file's report, score entry and load error, and the mission
// listing over From..To.
import { core } from './core.js';
import { report as el } from './elements.js';
import { on, selectedPilot } from './state.js';
import { setMessage, withoutLastLineEnd } from './util.js';

function fromField() {
  const value = parseInt(el.from.value, 10);
  return Number.isFinite(value) ? value : 0;
}

function showSelected() {
  const pilot = selectedPilot();
  el.pilotName.textContent = pilot ? '- ' + pilot.name : '';
  setMessage(el.message, '');
  if (!pilot) {
    el.report.textContent = '';
    el.entry.value = '';
    el.loadError.textContent = '';
    return;
  }
  if (!pilot.ok) {
    el.report.textContent = '';
    el.entry.value = '';
    el.loadError.textContent = withoutLastLineEnd(core.loadErrors(pilot.id));
    setMessage(el.message, pilot.name + ' could not be loaded.', true);
    return;
  }
  el.loadError.textContent = '';
  const result = core.report(pilot.id, fromField());
  el.report.textContent = withoutLastLineEnd(result.report || '');
  el.entry.value = result.entry || '';
  if (result.error)
    setMessage(el.message, result.error, true);
}

function listMissions() {
  const pilot = selectedPilot();
  if (!pilot || !pilot.ok)
    return;
  const toText = el.to.value.trim();
  const to = parseInt(toText, 10);
  const result = core.missions(pilot.id, fromField(), Number.isFinite(to) ? to : 0, toText !== '' && Number.isFinite(to));
  el.missions.textContent = withoutLastLineEnd(result.text || '');
  setMessage(el.message, result.error || '', !!result.error);
}

// The selected file's score entry; empty when there is none.
export function currentEntry() {
  return el.entry.value;
}

// `addEntry` takes the shown entry into the main log.
export function startReport(addEntry) {
  on('selected', () => {
    el.to.value = '';
    el.missions.textContent = '';
    showSelected();
  });
  on('settings', showSelected);
  el.from.addEventListener('change', showSelected);
  el.listMissions.addEventListener('click', listMissions);
  el.copyEntry.addEventListener('click', async () => {
    try {
      await navigator.clipboard.writeText(el.entry.value);
    } catch {
      el.entry.select();
      document.execCommand('copy');
    }
  });
  el.addEntry.addEventListener('click', () => addEntry(el.entry.value));
}
