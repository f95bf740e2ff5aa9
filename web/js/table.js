// The squadron table: vantrel-cli table's rows for the opened files, marked
// as the review window marks them, sortable by any column, and Download CSV.
import { core } from './core.js';
import { table as el } from './elements.js';
import { on, opened } from './state.js';
import { download } from './util.js';

let header = [];
let numberColumns = [];  // per column: whether it holds numbers in a loaded file's row
let rows = [];  // per opened file: {index, cells, loaded, mark, line}
let shownRows = [];  // the rows in the order the table shows them
// The table's order: [column, ascending] or null for the order opened.
let sortOrder = null;

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
  el.table.style.setProperty('--columns', widths.join(' '));
  el.table.style.width = total + 'px';
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
  const got = core.tableRows(opened[first].id, opened.length - first);
  const lines = got.text.split('\n');
  for (let k = 0; k < got.marks.length; ++k) {
    const mark = got.marks[k];
    const row = { index: first + k, cells: lines[k].split('\t'), loaded: mark !== 'X', mark: mark };
    row.line = lineOf(row);
    rows.push(row);
  }
}

function renderTable() {
  if (header.length === 0) {
    header = core.tableHeader();
    numberColumns = core.tableNumberColumns();
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
  el.table.tHead.replaceChildren(head);

  rows.length = Math.min(rows.length, opened.length);
  addNewRows();
  shownRows = sortOrder ? rows.slice().sort(compareRows) : rows;
  const body = document.createDocumentFragment();
  for (const row of shownRows)
    body.appendChild(row.line);
  el.table.tBodies[0].replaceChildren(body);
  el.wrap.classList.toggle('long', rows.length > 12);
}

// The opened files' ids in the table's order, and whether the user sorted it.
export function tableOrder() {
  return { ids: sortOrder ? shownRows.map((row) => opened[row.index].id) : opened.map((p) => p.id), sorted: !!sortOrder };
}

// `select` selects the file of a clicked row.
export function startTable(select) {
  on('rows', addNewRows);
  on('opened', renderTable);
  on('closed', () => {
    sortOrder = null;
    renderTable();
  });
  el.downloadCsv.addEventListener('click', () =>
    download('pilots.csv', core.tableBytes(opened.map((p) => p.id), true), 'text/csv'));
  el.table.tBodies[0].addEventListener('click', (event) => {
    const line = event.target.closest('tr');
    if (line && shownRows[line.sectionRowIndex])
      select(shownRows[line.sectionRowIndex].index);
  });
  renderTable();
}
