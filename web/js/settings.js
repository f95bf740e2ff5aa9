// The settings panel: the settings file's text, kept in the browser's
// storage, and the boxes that write its keys by the file's rules.
import { core } from './core.js';
import { settings as el } from './elements.js';
import { emit } from './state.js';

const kSettingsStorage = 'vantrel.settings';

const settingKeys = [];
const flagLabels = {
  ShowMissionScore: 'Show mission score.',
  ShowMissionBonus: 'Show mission bonus score.',
  ShowMissionTotal: 'Show total mission score.',
  ShowMissionTime: 'Show mission time.',
  ShowZeroMissions: 'Show missions with no recorded score/time.',
  MegaDetails: 'Full details',
  CheckCheat: 'Perform error/cheat check.',
  ShowErrorDetailes: 'Detailed error report',
  IncludeDate: 'Include Date',
};
const flagBoxes = {};

function buildPanel() {
  const keys = core.settingKeys();
  for (let k = 0; k < keys.length; ++k) {
    const setting = keys[k];
    settingKeys.push(setting);
    if (!(setting.key in flagLabels))
      continue;
    const label = document.createElement('label');
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.dataset.key = setting.key;
    box.addEventListener('change', () => writeSetting(setting.key, box.checked ? '1' : '0'));
    label.append(box, ' ' + flagLabels[setting.key]);
    el.flags.appendChild(label);
    flagBoxes[setting.key] = box;
  }
  for (const radio of el.radios)
    radio.addEventListener('change', () => { if (radio.checked) writeSetting(radio.name, radio.value); });
}

function showInPanel() {
  for (const setting of settingKeys) {
    const value = core.readSetting(setting.key, setting.fallback);
    if (flagBoxes[setting.key])
      flagBoxes[setting.key].checked = value === '1';
    for (const radio of el.radios) {
      if (radio.name === setting.key)
        radio.checked = radio.value === value;
    }
  }
}

function store(text) {
  try { localStorage.setItem(kSettingsStorage, text); } catch { /* storage off: kept for this visit */ }
}

function applyText(text) {
  core.setSettingsText(text);
  store(text);
  showInPanel();
  emit('settings');
}

function writeSetting(key, value) {
  const text = core.writeSetting(key, value);
  el.text.value = text;
  store(text);
  showInPanel();
  emit('settings');
}

export function startSettings() {
  buildPanel();
  let stored = '';
  try { stored = localStorage.getItem(kSettingsStorage) || ''; } catch { /* storage off */ }
  el.text.value = stored;
  core.setSettingsText(stored);
  showInPanel();
  el.text.addEventListener('input', () => applyText(el.text.value));
}
