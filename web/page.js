// The page around the core. Every text shown or given for download comes
// from the core through the binding (Module.*); this script only moves bytes
// and texts between the page's controls and the core.
'use strict';

(function () {
  const $ = (id) => document.getElementById(id);
  const kSettingsStorage = 'vantrel.settings';

  // The opened files in the order opened: {id, name, file, ok}.
  const opened = [];
  let selected = -1;
  // The details the selected file loaded with, to send only what was changed.
  let loadedDetails = null;
  // The entries collected in the log panel, in order.
  let logText = '';
  // The table's order: [column, ascending] or null for the order opened.
  let sortOrder = null;

  // The report text's lines joined by LF, as vantrel-cli prints them.
  function withoutLastLineEnd(text) {
    return text.endsWith('\n') ? text.slice(0, -1) : text;
  }

  function download(name, bytes, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type: type }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  }

  function setMessage(element, text, refusal) {
    element.textContent = text || '';
    element.classList.toggle('refusal', !!refusal);
  }

  // ---- Settings -------------------------------------------------------

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

  function buildSettingsPanel() {
    const keys = Module.settingKeys();
    const group = $('flag-settings');
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
      group.appendChild(label);
    }
    document.querySelectorAll('input[type=radio]').forEach((radio) => {
      radio.addEventListener('change', () => { if (radio.checked) writeSetting(radio.name, radio.value); });
    });
  }

  function showSettingsInPanel() {
    for (const setting of settingKeys) {
      const value = Module.readSetting(setting.key, setting.fallback);
      const box = document.querySelector('input[type=checkbox][data-key="' + setting.key + '"]');
      if (box)
        box.checked = value === '1';
      document.querySelectorAll('input[type=radio][name="' + setting.key + '"]').forEach((radio) => {
        radio.checked = radio.value === value;
      });
    }
  }

  function storeSettings(text) {
    try { localStorage.setItem(kSettingsStorage, text); } catch (e) { /* storage off: kept for this visit */ }
  }

  function applySettingsText(text) {
    Module.setSettingsText(text);
    storeSettings(text);
    showSettingsInPanel();
    showSelected();
  }

  function writeSetting(key, value) {
    const text = Module.writeSetting(key, value);
    $('settings').value = text;
    storeSettings(text);
    showSettingsInPanel();
    showSelected();
  }

  // ---- Opening files --------------------------------------------------

  // A folder's files: its pilot files (found in its subfolders too), in
  // path order, as vantrel-cli table takes them from a folder.
  function pilotFilesOf(entries) {
    const encoder = new TextEncoder();
    const keyed = entries.filter((e) => Module.isPilotFileName(e.file.name))
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

  // Reads a few files at a time and loads each as soon as it and the files
  // before it are read, so that memory holds only the files in flight. (A
  // read of a Blob made of many files is no quicker: making it asks the
  // system for each file's size in turn, while the page waits.)
  const kReadsInFlight = 32;
  // Table rows are made while the files are read, this many at a time.
  const kRowsAtOnce = 50;

  // Copies the file's bytes into the core once and loads them as the named
  // file; null: the file could not be read.
  function openBytes(name, bytes) {
    if (bytes === null)
      return Module.openUnreadable(name);
    const address = Module.receiveBytes(bytes.length);
    Module.HEAPU8.set(bytes, address);  // after receiveBytes: the memory may have grown
    return Module.openReceived(name);
  }

  async function openFiles(files) {
    $('open-status').textContent = 'Opening ' + files.length + ' file(s)...';
    document.body.dataset.busy = '1';
    const read = new Array(files.length);
    let nextRead = 0;
    let nextOpen = 0;
    const openReady = () => {
      for (; nextOpen < files.length && read[nextOpen] !== undefined; ++nextOpen) {
        const file = files[nextOpen];
        const id = openBytes(file.name, read[nextOpen]);
        read[nextOpen] = undefined;
        opened.push({ id: id, name: file.name, file: file, ok: Module.loaded(id) });
      }
      if (opened.length - rows.length >= kRowsAtOnce)
        addNewRows();
    };
    const reader = async () => {
      while (nextRead < files.length) {
        const k = nextRead++;
        try {
          read[k] = new Uint8Array(await files[k].arrayBuffer());
        } catch (e) {
          read[k] = null;  // gone or not allowed since it was picked
        }
        openReady();
      }
    };
    await Promise.all(Array.from({ length: Math.min(kReadsInFlight, files.length) }, reader));
    renderList();
    renderTable();
    renderDiffChoices();
    if (selected < 0 && opened.length > 0)
      select(0, false);
    $('open-status').textContent = opened.length + ' file(s) open';
    document.body.dataset.opened = String(opened.length);
    delete document.body.dataset.busy;
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
      } catch (e) {
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
      $('open-status').textContent += '; the browser could not list ' + unlisted.join(', ');
  }

  function closeAll() {
    Module.closeAll();
    opened.length = 0;
    selected = -1;
    sortOrder = null;
    loadedDetails = null;
    renderList();
    renderTable();
    renderDiffChoices();
    showSelected();
    $('open-status').textContent = '';
    document.body.dataset.opened = '0';
  }

  // ---- The pilot list and the selected pilot --------------------------

  function renderList() {
    const list = $('pilot-list');
    const fragment = document.createDocumentFragment();
    opened.forEach((pilot, index) => {
      const item = document.createElement('li');
      item.textContent = pilot.name;
      item.setAttribute('role', 'option');
      item.id = 'pilot-' + index;
      if (!pilot.ok) {
        item.classList.add('failed');
        item.title = 'Not loaded';
      }
      item.addEventListener('click', () => select(index));
      fragment.appendChild(item);
    });
    list.replaceChildren(fragment);
    markSelected();
  }

  function markSelected(reveal) {
    const list = $('pilot-list');
    for (let k = 0; k < list.children.length; ++k) {
      const item = list.children[k];
      const on = k === selected;
      item.classList.toggle('selected', on);
      item.setAttribute('aria-selected', on ? 'true' : 'false');
    }
    if (selected >= 0) {
      list.setAttribute('aria-activedescendant', 'pilot-' + selected);
      const item = list.children[selected];
      if (reveal && item && item.scrollIntoView)
        item.scrollIntoView({ block: 'nearest' });
    }
  }

  function select(index, reveal = true) {
    if (index < 0 || index >= opened.length)
      return;
    selected = index;
    markSelected(reveal);
    const pilot = opened[index];
    loadedDetails = pilot.ok ? Module.details(pilot.id) : null;
    $('to').value = '';
    $('missions').textContent = '';
    showDetails();
    showSelected();
  }

  function fromField() {
    const value = parseInt($('from').value, 10);
    return Number.isFinite(value) ? value : 0;
  }

  // The report, entry and load error of the selected file.
  function showSelected() {
    const pilot = selected >= 0 ? opened[selected] : null;
    $('pilot-name').textContent = pilot ? '- ' + pilot.name : '';
    setMessage($('report-message'), '');
    if (!pilot) {
      $('report').textContent = '';
      $('entry').value = '';
      $('load-error').textContent = '';
      return;
    }
    if (!pilot.ok) {
      $('report').textContent = '';
      $('entry').value = '';
      $('load-error').textContent = withoutLastLineEnd(Module.loadErrors(pilot.id));
      setMessage($('report-message'), pilot.name + ' could not be loaded.', true);
      return;
    }
    $('load-error').textContent = '';
    const result = Module.report(pilot.id, fromField());
    $('report').textContent = withoutLastLineEnd(result.report || '');
    $('entry').value = result.entry || '';
    if (result.error)
      setMessage($('report-message'), result.error, true);
  }

  function listMissions() {
    const pilot = selected >= 0 ? opened[selected] : null;
    if (!pilot || !pilot.ok)
      return;
    const toText = $('to').value.trim();
    const to = parseInt(toText, 10);
    const result = Module.missions(pilot.id, fromField(), Number.isFinite(to) ? to : 0, toText !== '' && Number.isFinite(to));
    $('missions').textContent = withoutLastLineEnd(result.text || '');
    setMessage($('report-message'), result.error || '', !!result.error);
  }

  // ---- Editing ---------------------------------------------------------

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
    const fields = ['edit-name', 'edit-rank', 'edit-rating', 'edit-kalidor', 'edit-mission', 'download-changed'];
    fields.forEach((id) => { $(id).disabled = !d; });
    setMessage($('edit-message'), '');
    $('edit-name').value = d ? d.name : '';
    $('edit-rank').value = String(d ? d.rank : -1);
    $('edit-rating').value = String(d ? d.rating : -1);
    $('edit-kalidor').value = String(d ? d.kalidor : -1);
    $('edit-mission').value = String(d ? d.activeMission : -1);
  }

  // The fields the user changed from what the file loaded with.
  function currentEdit() {
    const d = loadedDetails;
    const edit = { rank: -1, rating: -1, kalidor: -1, activeMission: -1 };
    const name = $('edit-name').value;
    if (name !== d.name)
      edit.name = name;
    const pick = (id, field, loaded) => {
      const value = parseInt($(id).value, 10);
      if (value !== loaded)
        edit[field] = value;
    };
    pick('edit-rank', 'rank', d.rank);
    pick('edit-rating', 'rating', d.rating);
    pick('edit-kalidor', 'kalidor', d.kalidor);
    pick('edit-mission', 'activeMission', d.activeMission);
    return edit;
  }

  async function downloadChanged() {
    const pilot = selected >= 0 ? opened[selected] : null;
    if (!pilot || !pilot.ok || !loadedDetails)
      return;
    const bytes = new Uint8Array(await pilot.file.arrayBuffer());
    const result = Module.changedFile(pilot.name, bytes, currentEdit());
    if (result.refusal) {
      setMessage($('edit-message'), withoutLastLineEnd(result.refusal), true);
      return;
    }
    download(pilot.name, result.bytes, 'application/octet-stream');
    setMessage($('edit-message'), result.message + ' ' + pilot.name + ' was downloaded; the opened file is unchanged.', false);
  }

  // ---- The main log ----------------------------------------------------

  function addEntry() {
    const entry = $('entry').value;
    if (!entry)
      return;
    logText = Module.logAppend(logText, entry);
    $('log').value = logText;
    setMessage($('log-message'), '');
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
      const existing = Module.logText(new Uint8Array(await (await handle.getFile()).arrayBuffer()));
      if (existing.refusal) {
        setMessage($('log-message'), existing.refusal, true);
        return;
      }
      let text = existing.text;
      for (const entry of withoutLastLineEnd(logText).split('\n'))
        text = Module.logAppend(text, entry);
      const writable = await handle.createWritable();
      await writable.write(Module.logBytes(text));
      await writable.close();
      setMessage($('log-message'), 'The entries were appended to ' + handle.name + '.', false);
    } catch (e) {
      setMessage($('log-message'), 'Cannot write to ' + handle.name + ': ' + e.message, true);
    }
  }

  // ---- The squadron table ---------------------------------------------

  let header = [];
  let numberColumns = [];  // per column: whether it holds numbers in a loaded file's row
  let rows = [];  // per opened file: {index, cells, loaded, mark}
  let shownRows = [];  // the rows in the order the table shows them

  function isNumber(row, column) {
    return row.loaded && numberColumns[column];
  }

  function compareRows(a, b) {
    const column = sortOrder[0];
    const ascending = sortOrder[1];
    let order;
    if (isNumber(a, column) && isNumber(b, column))
      order = Number(a.cells[column]) - Number(b.cells[column]);
    else if (isNumber(a, column) !== isNumber(b, column))
      order = isNumber(a, column) ? -1 : 1;  // files that did not load go last
    else
      order = a.cells[column] < b.cells[column] ? -1 : a.cells[column] > b.cells[column] ? 1 : 0;
    if (order === 0)
      order = a.index - b.index;
    return ascending ? order : -order;
  }

  // The columns' widths, fixed so that the browser need not measure every
  // cell: text columns wide, number columns narrow. A load error, the one
  // text that may not fit, is also the row's tooltip.
  function setColumnWidths() {
    const wide = { 0: 150, 1: 110, 2: 140, 3: 120, 4: 240, 16: 760 };
    const widths = [];
    let total = 0;
    for (let column = 0; column < header.length; ++column) {
      const width = wide[column] || 84;
      widths.push(width + 'px');
      total += width;
    }
    const table = $('squad');
    table.style.setProperty('--columns', widths.join(' '));
    table.style.width = total + 'px';
  }

  // Empty rows to clone, for a file that loaded and one that did not:
  // cloning one row is quicker than making each cell.
  const rowPrototypes = {};

  function rowPrototype(loaded) {
    if (!rowPrototypes[loaded]) {
      const line = document.createElement('tr');
      for (let column = 0; column < header.length; ++column) {
        const cell = document.createElement('td');
        if (loaded && numberColumns[column])
          cell.className = 'num';
        line.appendChild(cell);
      }
      rowPrototypes[loaded] = line;
    }
    return rowPrototypes[loaded];
  }

  function lineOf(row) {
    const line = rowPrototype(row.loaded).cloneNode(true);
    if (!row.loaded) {
      line.className = 'failed';
      line.title = 'Not loaded: ' + row.cells[row.cells.length - 1];
    } else if (row.mark === '!') {
      line.className = 'marked';
      line.title = 'Marked !: the error/cheat check finds errors or other copies differ';
    } else if (row.mark === '?') {
      line.className = 'warned';
      line.title = 'Marked ?: only the score total warning applies';
    }
    const cells = line.children;
    for (let column = 0; column < row.cells.length; ++column)
      cells[column].textContent = row.cells[column];
    return line;
  }

  // The rows (cells and table row) of the files opened since the last call,
  // in one call to the core. Called while files are still being read, so
  // that the rows are made while the page waits for the next file anyway.
  function addNewRows() {
    if (header.length === 0 || rows.length >= opened.length)
      return;
    const first = rows.length;
    const got = Module.tableRows(opened[first].id, opened.length - first);
    const lines = got.text.split('\n');
    for (let k = 0; k < got.marks.length; ++k) {
      const mark = got.marks[k];
      const row = { index: first + k, cells: lines[k].split('\t'), loaded: mark !== 'X', mark: mark };
      row.line = lineOf(row);
      rows.push(row);
    }
  }

  function renderTable() {
    const table = $('squad');
    if (header.length === 0) {
      header = Module.tableHeader();
      numberColumns = Module.tableNumberColumns();
      setColumnWidths();
    }
    const head = document.createElement('tr');
    header.forEach((name, column) => {
      const cell = document.createElement('th');
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = name;
      cell.setAttribute('aria-sort', sortOrder && sortOrder[0] === column ? (sortOrder[1] ? 'ascending' : 'descending') : 'none');
      button.addEventListener('click', () => {
        sortOrder = sortOrder && sortOrder[0] === column ? [column, !sortOrder[1]] : [column, true];
        renderTable();
      });
      cell.appendChild(button);
      head.appendChild(cell);
    });
    table.tHead.replaceChildren(head);

    rows.length = Math.min(rows.length, opened.length);
    addNewRows();
    shownRows = sortOrder ? rows.slice().sort(compareRows) : rows;
    const body = document.createDocumentFragment();
    for (const row of shownRows)
      body.appendChild(row.line);
    table.tBodies[0].replaceChildren(body);
    table.parentElement.classList.toggle('long', rows.length > 12);
  }

  function downloadCsv() {
    download('pilots.csv', Module.tableBytes(opened.map((p) => p.id), true), 'text/csv');
  }

  // ---- Diff ------------------------------------------------------------

  function renderDiffChoices() {
    // (No destructuring here: the build's minifier does not keep it.)
    for (const choice of [{ id: 'diff-old', preferred: 0 }, { id: 'diff-new', preferred: 1 }]) {
      const select = $(choice.id);
      const preferred = choice.preferred;
      const before = select.value;
      const fragment = document.createDocumentFragment();
      opened.forEach((pilot, index) => {
        const option = document.createElement('option');
        option.value = String(index);
        option.textContent = (index + 1) + ' ' + pilot.name;
        fragment.appendChild(option);
      });
      select.replaceChildren(fragment);
      if (before !== '' && Number(before) < opened.length)
        select.value = before;
      else if (preferred < opened.length)
        select.value = String(preferred);
    }
  }

  // ---- Charts ----------------------------------------------------------

  // The selected pilot's two charts, then the squadron chart of each of the
  // table's number columns, Campaign total first.
  function renderChartChoices() {
    const names = Module.tableHeader();
    const numeric = Module.tableNumberColumns();
    const select = $('chart-kind');
    const add = (value, text) => {
      const option = document.createElement('option');
      option.value = value;
      option.textContent = text;
      select.appendChild(option);
    };
    add('missions', 'Campaign missions of the selected pilot');
    add('kills', 'Kills and assists of the selected pilot');
    const total = names.indexOf('Campaign total');
    if (total >= 0)
      add('squadron:' + total, 'Squadron: Campaign total');
    names.forEach((name, column) => {
      if (numeric[column] && column !== total)
        add('squadron:' + column, 'Squadron: ' + name);
    });
  }

  // The chart chosen, as vantrel-cli chart writes it; empty when there is none.
  function chosenChart() {
    const kind = $('chart-kind').value;
    if (kind.startsWith('squadron:')) {
      // A table the user sorted keeps its order; otherwise largest first.
      const ids = sortOrder ? shownRows.map((row) => opened[row.index].id) : opened.map((p) => p.id);
      return Module.squadronChart(ids, Number(kind.slice('squadron:'.length)), !!sortOrder);
    }
    const pilot = opened[selected];
    return pilot ? Module.pilotChart(pilot.id, kind) : '';
  }

  function showChart() {
    const svg = chosenChart();
    const holder = $('chart');
    if (!svg) {
      holder.textContent = opened[selected] ? 'No chart: ' + opened[selected].name + ' did not load.' : 'No pilot file is open.';
      return;
    }
    // Parsed as an SVG document, never as HTML: its text stays text.
    const parsed = new DOMParser().parseFromString(svg, 'image/svg+xml');
    holder.replaceChildren(document.importNode(parsed.documentElement, true));
  }

  function downloadChart() {
    const svg = chosenChart();
    if (svg)
      download('chart.svg', svg, 'image/svg+xml');
  }

  function runDiff() {
    const older = opened[Number($('diff-old').value)];
    const newer = opened[Number($('diff-new').value)];
    if (!older || !newer)
      return;
    const result = Module.diff(older.id, newer.id);
    if (result.error) {
      $('diff').textContent = '';
      setMessage($('diff-message'), withoutLastLineEnd(result.error), true);
      return;
    }
    $('diff').textContent = withoutLastLineEnd(result.text);
    setMessage($('diff-message'), result.differ ? '' : 'The files agree.', false);
  }

  // ---- Wiring -----------------------------------------------------------

  function start() {
    buildSettingsPanel();
    const lists = Module.vocabularyLists();
    fillSelect($('edit-rank'), lists.rank, 0);
    fillSelect($('edit-rating'), lists.rating, 0);
    fillSelect($('edit-kalidor'), lists.kalidor, 0);
    fillSelect($('edit-mission'), lists.mission, null);

    let stored = '';
    try { stored = localStorage.getItem(kSettingsStorage) || ''; } catch (e) { /* storage off */ }
    $('settings').value = stored;
    Module.setSettingsText(stored);
    showSettingsInPanel();
    $('settings').addEventListener('input', () => applySettingsText($('settings').value));

    $('files').addEventListener('change', (event) => {
      const files = Array.from(event.target.files);
      event.target.value = '';
      openFiles(files);
    });
    $('folder').addEventListener('change', (event) => {
      const found = Array.from(event.target.files).map((f) => ({ path: f.webkitRelativePath || f.name, file: f }));
      event.target.value = '';
      openFiles(pilotFilesOf(found).map((e) => e.file));
    });
    const drop = $('drop');
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
        $('files').click();
      }
    });
    // Dropping anywhere else must not open the file in place of the page.
    window.addEventListener('dragover', (event) => event.preventDefault());
    window.addEventListener('drop', (event) => event.preventDefault());

    $('pilot-list').addEventListener('keydown', (event) => {
      const moves = { ArrowDown: 1, ArrowUp: -1, Home: -Infinity, End: Infinity };
      if (!(event.key in moves) || opened.length === 0)
        return;
      event.preventDefault();
      const step = moves[event.key];
      const next = Number.isFinite(step) ? Math.max(0, selected + step) : step < 0 ? 0 : opened.length - 1;
      select(Math.min(opened.length - 1, next));
    });
    $('close-all').addEventListener('click', closeAll);
    $('from').addEventListener('change', showSelected);
    $('list-missions').addEventListener('click', listMissions);
    $('copy-entry').addEventListener('click', async () => {
      try { await navigator.clipboard.writeText($('entry').value); } catch (e) { $('entry').select(); document.execCommand('copy'); }
    });
    $('add-entry').addEventListener('click', addEntry);
    $('download-log').addEventListener('click', () => { if (logText) download('MainLog.txt', Module.logBytes(logText), 'text/plain'); });
    $('clear-log').addEventListener('click', () => { logText = ''; $('log').value = ''; });
    if (window.showSaveFilePicker) {
      $('append-log-file').classList.remove('hidden');
      $('append-log-file').addEventListener('click', appendToLogFile);
    }
    $('download-changed').addEventListener('click', downloadChanged);
    $('download-csv').addEventListener('click', downloadCsv);
    $('diff-run').addEventListener('click', runDiff);
    renderChartChoices();
    $('chart-show').addEventListener('click', showChart);
    $('download-svg').addEventListener('click', downloadChart);
    // A click on a row selects its file.
    $('squad').tBodies[0].addEventListener('click', (event) => {
      const line = event.target.closest('tr');
      if (line && shownRows[line.sectionRowIndex])
        select(shownRows[line.sectionRowIndex].index);
    });

    renderTable();
    showDetails();
    document.body.dataset.ready = '1';
  }

  Module.onRuntimeInitialized = start;
})();
