// The page's elements, looked up once, by the part of the page they belong
// to. This is the one module that looks elements up; every other module takes
// its own part from here and leaves the others' parts alone.
const $ = (id) => document.getElementById(id);

export const body = document.body;

export const opening = {
  files: $('files'),
  folder: $('folder'),
  drop: $('drop'),
  closeAll: $('close-all'),
  status: $('open-status'),
};

// Opening and saving the files themselves, where the browser can.
export const inPlace = {
  open: $('open-in-place'),
  reopen: $('reopen'),
  note: $('in-place-note'),
  save: $('save-in-place'),
  backups: $('backups'),
  restore: $('restore-backup'),
};

export const pilotList = {
  list: $('pilot-list'),
};

export const report = {
  pilotName: $('pilot-name'),
  loadError: $('load-error'),
  report: $('report'),
  message: $('report-message'),
  entry: $('entry'),
  copyEntry: $('copy-entry'),
  addEntry: $('add-entry'),
  from: $('from'),
  to: $('to'),
  listMissions: $('list-missions'),
  missions: $('missions'),
};

export const settings = {
  flags: $('flag-settings'),
  radios: Array.from(document.querySelectorAll('#settings-section input[type=radio]')),
  text: $('settings'),
};

export const edit = {
  name: $('edit-name'),
  rank: $('edit-rank'),
  rating: $('edit-rating'),
  kalidor: $('edit-kalidor'),
  mission: $('edit-mission'),
  downloadChanged: $('download-changed'),
  message: $('edit-message'),
};

export const log = {
  text: $('log'),
  download: $('download-log'),
  addAll: $('add-all'),
  logFile: $('log-file'),
  logFileName: $('log-file-name'),
  appendFile: $('append-log-file'),
  clear: $('clear-log'),
  message: $('log-message'),
};

export const table = {
  table: $('squad'),
  wrap: $('squad').parentElement,
  onlyMarked: $('only-marked'),
  summary: $('table-summary'),
  downloadCsv: $('download-csv'),
};

export const charts = {
  kind: $('chart-kind'),
  show: $('chart-show'),
  downloadSvg: $('download-svg'),
  holder: $('chart'),
};

export const diff = {
  older: $('diff-old'),
  newer: $('diff-new'),
  run: $('diff-run'),
  text: $('diff'),
  message: $('diff-message'),
};
