// The squadron table as the review window shows it: a Mark column, then
// vantrel-cli table's columns for the opened files, sortable by any column,
// with Show only marked, the summary line, and Download CSV. Column 0 is
// the mark; column c > 0 is vantrel-cli table's column c - 1, as the core's
// column table (tableColumns) describes it.
import { core } from './core.js';
import { table as el } from './elements.js';
import { on, opened } from './state.js';
import { download } from './util.js';

let header = [];
let columns = [];  // the core's column table: {key, header, number, width} per column after the mark
let rows = [];  // per opened file: {index, cells, loaded, mark, description, line}
let shownRows = [];  // the rows in the order the table shows them
// The table's order: [column, ascending] or null for the order opened.
let sortOrder = null;
// The marks by weight, as the review window sorts them: passed, total
// warning only, fails the check, not loaded.
const kMarkWeight = { '-': 0, '?': 1, '!': 2, 'X': 3 };

function isNumber(row, column) {
  return column === 0 || (row.loaded && columns[column - 1].number);
}

function valueOf(row, column) {
  return column === 0 ? kMarkWeight[row.mark] : row.cells[column - 1];
}

function compareRows(a, b) {
  const column = sortOrder[0];
  const ascending = sortOrder[1];
  const x = valueOf(a, column);
  const y = valueOf(b, column);
  let order;
  if (isNumber(a, column) && isNumber(b, column))
    order = Number(x) - Number(y);
  else if (isNumber(a, column) !== isNumber(b, column))
    order = isNumber(a, column) ? -1 : 1;  // files that did not load go last
  else
    order = x < y ? -1 : x > y ? 1 : 0;
  if (order === 0)
    order = a.index - b.index;
  return ascending ? order : -order;
}

// The columns' widths, fixed so that the browser need not measure every
// cell: each column as wide as the core's sample of its widest usual cell
// (or the longest word of its header, which wraps). A longer load error is
// also the row's tooltip. The first three (Mark, File, Pilot name) stay in
// view when the table scrolls sideways.
function setColumnWidths() {
  const measure = document.createElement('canvas').getContext('2d');
  measure.font = getComputedStyle(el.table).font;
  const widthOf = (text) => Math.ceil(measure.measureText(text).width) + 16;
  const widths = [];
  let total = 0;
  for (let column = 0; column < header.length; ++column) {
    const texts = header[column].split(' ');
    if (column > 0)
      texts.push(columns[column - 1].width);
    const width = Math.max(...texts.map(widthOf));
    if (column < 3)
      el.table.style.setProperty('--left' + column, total + 'px');
    widths.push(width + 'px');
    total += width;
  }
  el.table.style.setProperty('--columns', widths.join(' '));
  el.table.style.width = total + 'px';
}

// Empty rows to clone, for a file that loaded and one that did not: cloning
// one row, each cell with an empty text to fill, is quicker than making each
// cell and its text.
const rowPrototypes = {};

function rowPrototype(loaded) {
  if (!rowPrototypes[loaded]) {
    const line = document.createElement('tr');
    for (let column = 0; column < header.length; ++column) {
      const cell = document.createElement('td');
      if (column === 0)
        cell.className = 'mark';
      else if (loaded && columns[column - 1].number)
        cell.className = 'num';
      cell.appendChild(document.createTextNode(''));
      line.appendChild(cell);
    }
    rowPrototypes[loaded] = line;
  }
  return rowPrototypes[loaded];
}

// Rows per table body, and a row's height in pixels (as the page's style
// sheet has it).
const kRowsPerGroup = 32;
const kRowHeight = 20;

const kMarkedRows = { 'X': 'failed', '!': 'marked', '?': 'warned' };

function lineOf(row) {
  const line = rowPrototype(row.loaded).cloneNode(true);
  if (row.mark in kMarkedRows) {
    line.className = kMarkedRows[row.mark];
    line.title = row.description;
  }
  let cell = line.firstChild;
  cell.firstChild.data = row.mark === '-' ? '' : row.mark;
  cell.title = row.description;
  for (const text of row.cells) {
    cell = cell.nextSibling;
    cell.firstChild.data = text;
  }
  return line;
}

// The rows (cells and table row) of the opened files first..first+count-1,
// whose ids follow one another, in one call to the core.
function makeRows(first, count) {
  const got = core.tableRows(opened[first].id, count);
  const lines = got.text.split('\n');
  const descriptions = core.markDescriptions(opened[first].id, count);
  const made = [];
  for (let k = 0; k < got.marks.length; ++k) {
    const mark = got.marks[k];
    const row = { index: first + k, cells: lines[k].split('\t'), loaded: mark !== 'X', mark: mark,
                  description: descriptions[k] };
    row.line = lineOf(row);
    made.push(row);
  }
  return made;
}

// The rows of the files opened since the last call. Called while files are
// still being read, so that the rows are made while the page waits for the
// next file anyway.
function addNewRows() {
  if (header.length > 0 && rows.length < opened.length)
    rows.push(...makeRows(rows.length, opened.length - rows.length));
}

function renderTable() {
  if (header.length === 0) {
    columns = core.tableColumns();
    header = [core.markColumnName()].concat(columns.map((column) => column.header));
    setColumnWidths();
  }
  const head = document.createElement('tr');
  header.forEach((name, column) => {
    const cell = document.createElement('th');
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = name;
    if (column === 0)
      cell.title = core.markLegend();
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
  const kept = el.onlyMarked.checked ? rows.filter((row) => row.mark !== '-') : rows;
  shownRows = sortOrder ? kept.slice().sort(compareRows) : kept;
  // The rows go in groups, one table body each: a group out of view is
  // skipped whole, its rows neither styled nor laid out. With no row shown
  // the table keeps one empty body.
  const groups = document.createDocumentFragment();
  for (let first = 0; first < shownRows.length || first === 0; first += kRowsPerGroup) {
    const group = document.createElement('tbody');
    const members = shownRows.slice(first, first + kRowsPerGroup);
    for (const row of members)
      group.appendChild(row.line);
    if (members.length < kRowsPerGroup)
      group.style.containIntrinsicHeight = 'auto ' + members.length * kRowHeight + 'px';
    groups.appendChild(group);
  }
  for (const old of Array.from(el.table.tBodies))
    old.remove();
  el.table.appendChild(groups);
  el.wrap.classList.toggle('long', shownRows.length > 12);
  el.summary.textContent = rows.length > 0 ? core.tableSummary(opened.map((p) => p.id)) : '';
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
  // A file saved in place loads again: its row is made anew.
  on('reloaded', (index) => {
    rows[index] = makeRows(index, 1)[0];
    renderTable();
  });
  el.onlyMarked.title = core.markedOnlyHint();
  el.onlyMarked.addEventListener('change', renderTable);
  el.downloadCsv.addEventListener('click', () =>
    download('pilots.csv', core.tableBytes(opened.map((p) => p.id), true), 'text/csv'));
  el.table.addEventListener('click', (event) => {
    const line = event.target.closest('tbody tr');
    const shown = line ? shownRows[line.rowIndex - el.table.tHead.rows.length] : null;
    if (shown)
      select(shown.index);
  });
  renderTable();
}
