// Charts: the selected pilot's campaign missions or kills, or the squadron
// chart of one of the table's number columns, drawn from the core's SVG.
import { core } from './core.js';
import { charts as el } from './elements.js';
import { selectedPilot } from './state.js';
import { tableOrder } from './table.js';
import { download } from './util.js';

// The selected pilot's two charts, then the squadron chart of each of the
// table's number columns, the squadron chart's own column first.
function renderChoices() {
  const columns = core.tableColumns();
  const add = (value, text) => {
    const option = document.createElement('option');
    option.value = value;
    option.textContent = text;
    el.kind.appendChild(option);
  };
  add('missions', 'Campaign missions of the selected pilot');
  add('kills', 'Kills and assists of the selected pilot');
  const first = core.squadronDefaultColumn();
  add('squadron:' + first, 'Squadron: ' + columns[first].header);
  columns.forEach((column, index) => {
    if (column.number && index !== first)
      add('squadron:' + index, 'Squadron: ' + column.header);
  });
}

// The chart chosen, as vantrel-cli chart writes it; empty when there is none.
function chosenChart() {
  const kind = el.kind.value;
  if (kind.startsWith('squadron:')) {
    // A table the user sorted keeps its order; otherwise largest first.
    const order = tableOrder();
    return core.squadronChart(order.ids, Number(kind.slice('squadron:'.length)), order.sorted);
  }
  const pilot = selectedPilot();
  return pilot ? core.pilotChart(pilot.id, kind) : '';
}

function showChart() {
  const svg = chosenChart();
  if (!svg) {
    const pilot = selectedPilot();
    el.holder.textContent = pilot ? 'No chart: ' + pilot.name + ' did not load.' : 'No pilot file is open.';
    return;
  }
  // Parsed as an SVG document, never as HTML: its text stays text.
  const parsed = new DOMParser().parseFromString(svg, 'image/svg+xml');
  el.holder.replaceChildren(document.importNode(parsed.documentElement, true));
}

export function startCharts() {
  renderChoices();
  el.show.addEventListener('click', showChart);
  el.downloadSvg.addEventListener('click', () => {
    const svg = chosenChart();
    if (svg)
      download('chart.svg', svg, 'image/svg+xml');
  });
}
