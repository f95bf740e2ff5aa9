// Diff: two of the opened files compared as vantrel-cli diff compares them.
import { core } from './core.js';
import { diff as el } from './elements.js';
import { on, opened } from './state.js';
import { setMessage, withoutLastLineEnd } from './util.js';

function renderChoices() {
  for (const choice of [{ select: el.older, preferred: 0 }, { select: el.newer, preferred: 1 }]) {
    const select = choice.select;
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
    else if (choice.preferred < opened.length)
      select.value = String(choice.preferred);
  }
}

function runDiff() {
  const older = opened[Number(el.older.value)];
  const newer = opened[Number(el.newer.value)];
  if (!older || !newer)
    return;
  const result = core.diff(older.id, newer.id);
  if (result.error) {
    el.text.textContent = '';
    setMessage(el.message, withoutLastLineEnd(result.error), true);
    return;
  }
  el.text.textContent = withoutLastLineEnd(result.text);
  setMessage(el.message, result.differ ? '' : 'The files agree.', false);
}

export function startDiff() {
  // 2,000 choices for 1,000 files take as long to lay out as the table:
  // they follow once the table is on screen.
  on('shown', renderChoices);
  on('closed', renderChoices);
  el.run.addEventListener('click', runDiff);
}
