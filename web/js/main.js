// The page: wires the modules together once the core is ready. Every text
// shown or given for download comes from the core (core.js); the modules
// only move bytes and texts between the page's controls and the core.
import { body } from './elements.js';
import { startCharts } from './charts.js';
import { startDiff } from './diff.js';
import { startEditor } from './edit.js';
import { startInPlace } from './inplace.js';
import { addToLog, startLog } from './log.js';
import { startOffline } from './offline.js';
import { startOpening } from './opening.js';
import { select, startPilotList } from './pilots.js';
import { startReport } from './report.js';
import { startSettings } from './settings.js';
import { startTable } from './table.js';

startSettings();
startEditor();
startOpening();
startTable(select);
startDiff();
startPilotList();
startReport(addToLog);
startCharts();
await Promise.all([startLog(), startInPlace()]);
startOffline();
body.dataset.ready = '1';
