// The list of opened files and the selection: selecting a file announces
// 'selected'; the report, the editor and the charts follow.
import { pilotList as el } from './elements.js';
import { emit, on, opened, state } from './state.js';

function renderList() {
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
    fragment.appendChild(item);
  });
  el.list.replaceChildren(fragment);
  markSelected();
}

function markSelected(reveal) {
  const list = el.list;
  for (let k = 0; k < list.children.length; ++k) {
    const item = list.children[k];
    const on = k === state.selected;
    item.classList.toggle('selected', on);
    item.setAttribute('aria-selected', on ? 'true' : 'false');
  }
  if (state.selected >= 0) {
    list.setAttribute('aria-activedescendant', 'pilot-' + state.selected);
    const item = list.children[state.selected];
    if (reveal && item && item.scrollIntoView)
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
  on('opened', () => {
    renderList();
    if (state.selected < 0 && opened.length > 0)
      select(0, false);
  });
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
