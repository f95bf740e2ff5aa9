// The pilot details editor: the fields the selected file loaded with, and
// the changed file's bytes as vantrel-cli set writes them.
import { core } from './core.js';
import { edit as el } from './elements.js';
import { on, selectedPilot } from './state.js';
import { download, setMessage, withoutLastLineEnd } from './util.js';

// The details the selected file loaded with, to send only what was changed.
let loadedDetails = null;

// The rows of a drop-down box, numbered as vantrel-cli set takes them
// from `firstNumber` on (null: not numbered).
function fillSelect(select, names, firstNumber) {
  const fragment = document.createDocumentFragment();
  const none = document.createElement('option');
  none.value = '-1';
  none.textContent = '(as in the file)';
  fragment.appendChild(none);
  for (let k = 0; k < names.length; ++k) {
    const option = document.createElement('option');
    option.value = String(k);
    // The mission titles carry their numbers already.
    option.textContent = firstNumber === null ? names[k] : (k + firstNumber) + ' ' + names[k];
    fragment.appendChild(option);
  }
  select.replaceChildren(fragment);
}

function showDetails() {
  const d = loadedDetails;
  for (const field of [el.name, el.rank, el.rating, el.kalidor, el.mission, el.downloadChanged])
    field.disabled = !d;
  setMessage(el.message, '');
  el.name.value = d ? d.name : '';
  el.rank.value = String(d ? d.rank : -1);
  el.rating.value = String(d ? d.rating : -1);
  el.kalidor.value = String(d ? d.kalidor : -1);
  el.mission.value = String(d ? d.activeMission : -1);
}

// The fields the user changed from what the file loaded with.
function currentEdit() {
  const d = loadedDetails;
  const edit = { rank: -1, rating: -1, kalidor: -1, activeMission: -1 };
  if (el.name.value !== d.name)
    edit.name = el.name.value;
  const pick = (select, field, loaded) => {
    const value = parseInt(select.value, 10);
    if (value !== loaded)
      edit[field] = value;
  };
  pick(el.rank, 'rank', d.rank);
  pick(el.rating, 'rating', d.rating);
  pick(el.kalidor, 'kalidor', d.kalidor);
  pick(el.mission, 'activeMission', d.activeMission);
  return edit;
}

// The changed file for `bytes`: {bytes, message} or null, the refusal shown.
export function changedBytes(pilot, bytes) {
  const result = core.changedFile(pilot.name, bytes, currentEdit());
  if (result.refusal) {
    setMessage(el.message, withoutLastLineEnd(result.refusal), true);
    return null;
  }
  return result;
}

export function editMessage(text, refusal) {
  setMessage(el.message, text, refusal);
}

async function downloadChanged() {
  const pilot = selectedPilot();
  if (!pilot || !pilot.ok || !loadedDetails)
    return;
  const result = changedBytes(pilot, new Uint8Array(await pilot.file.arrayBuffer()));
  if (!result)
    return;
  download(pilot.name, result.bytes, 'application/octet-stream');
  setMessage(el.message, result.message + ' ' + pilot.name + ' was downloaded; the opened file is unchanged.', false);
}

export function startEditor() {
  const lists = core.vocabularyLists();
  fillSelect(el.rank, lists.rank, 0);
  fillSelect(el.rating, lists.rating, 0);
  fillSelect(el.kalidor, lists.kalidor, 0);
  fillSelect(el.mission, lists.mission, null);
  on('selected', () => {
    const pilot = selectedPilot();
    loadedDetails = pilot && pilot.ok ? core.details(pilot.id) : null;
    showDetails();
  });
  el.downloadChanged.addEventListener('click', downloadChanged);
  showDetails();
}
