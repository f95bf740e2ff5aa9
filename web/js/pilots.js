// The list of opened files and the selection: selecting a file announces
// 'selected'; the report, the editor and the charts follow.
import { pilotList as el } from './elements.js';
import { emit, on, opened, state } from './state.js';

// The item shown as selected, or null.
let shownSelected = null;

function renderList() {
  const fragment = document.createDocumentFragment();
  const prototype = document.createElement('li');
  prototype.setAttribute('role', 'option');
  prototype.setAttribute('aria-selected', 'false');
  opened.forEach((pilot, index) => {
    const item = prototype.cloneNode(false);
    item.textContent = pilot.name;
    item.id = 'pilot-' + index;
    if (!pilot.ok) {
      item.className = 'failed';
      item.title = 'Not loaded';
    }
    fragment.appendChild(item);
  });
  shownSelected = null;
  el.list.replaceChildren(fragment);
  markSelected();
}

// Moves the selection's marks from the item that had them to the selected
// one; the other items keep theirs.
function markSelected(reveal) {
  const list = el.list;
  const item = state.selected >= 0 ? list.children[state.selected] || null : null;
  if (shownSelected !== item) {
    if (shownSelected) {
      shownSelected.classList.remove('selected');
      shownSelected.setAttribute('aria-selected', 'false');
    }
    if (item) {
      item.classList.add('selected');
      item.setAttribute('aria-selected', 'true');
    }
    shownSelected = item;
  }
  if (item) {
    list.setAttribute('aria-activedescendant', item.id);
    if (reveal && item.scrollIntoView)
      item.scrollIntoView({ block: 'nearest' });
  }
}

export function select(index, reveal = true) {
  if (index < 0 || index >= opened.length)
    return;
  state.selected = index;
  markSelected(reveal);
  emit('selected');
}

export function startPilotList() {
  // The first file's report shows with the table; the list of the files
  // follows once the table is on screen, so that the two are not laid out
  // in the same frame.
  on('opened', () => {
    if (state.selected < 0 && opened.length > 0)
      select(0, false);
  });
  on('shown', renderList);
  on('closed', () => {
    renderList();
    emit('selected');
  });
  el.list.addEventListener('click', (event) => {
    const item = event.target.closest('li');
    if (item)
      select(Array.prototype.indexOf.call(el.list.children, item));
  });
  el.list.addEventListener('keydown', (event) => {
    const moves = { ArrowDown: 1, ArrowUp: -1, Home: -Infinity, End: Infinity };
    if (!(event.key in moves) || opened.length === 0)
      return;
    event.preventDefault();
    const step = moves[event.key];
    const next = Number.isFinite(step) ? Math.max(0, state.selected + step) : step < 0 ? 0 : opened.length - 1;
    select(Math.min(opened.length - 1, next));
  });
}
