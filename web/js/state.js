// What the page holds between events, and the events the modules tell each
// other by: a module changes its own part of the page and announces what
// happened; the modules whose parts follow listen.
//
// Events: 'rows' (files were added to `opened`, more may follow), 'opened'
// (an open finished), 'shown' (the table of an open finished is on screen),
// 'closed' (every file closed), 'selected' (another file
// selected), 'settings' (the settings text changed), 'sorted' (the table's
// order changed).

// The opened files in the order opened: {id, name, file, ok}.
export const opened = [];

export const state = {
  selected: -1,  // index into `opened`, -1: none
};

const events = new EventTarget();

export function emit(name, detail) {
  events.dispatchEvent(new CustomEvent(name, { detail: detail }));
}

export function on(name, handler) {
  events.addEventListener(name, (event) => handler(event.detail));
}

export function selectedPilot() {
  return state.selected >= 0 ? opened[state.selected] || null : null;
}
