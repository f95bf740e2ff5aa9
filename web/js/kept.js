// What the page keeps across visits besides text: file handles (the opened
// files and the main log file), in IndexedDB, which alone can hold them.
const kDatabase = 'vantrel';
const kStore = 'kept';

let opening = null;

function database() {
  if (!opening) {
    opening = new Promise((resolve, reject) => {
      const request = indexedDB.open(kDatabase, 1);
      request.onupgradeneeded = () => request.result.createObjectStore(kStore);
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => reject(request.error);
    });
  }
  return opening;
}

async function run(mode, work) {
  const db = await database();
  return new Promise((resolve, reject) => {
    const transaction = db.transaction(kStore, mode);
    const request = work(transaction.objectStore(kStore));
    transaction.oncomplete = () => resolve(request.result);
    transaction.onerror = () => reject(transaction.error);
  });
}

// The value kept under `key`, or undefined; never throws (storage off).
export async function keptValue(key) {
  try {
    return await run('readonly', (store) => store.get(key));
  } catch {
    return undefined;
  }
}

export async function keep(key, value) {
  try {
    await run('readwrite', (store) => (value === undefined ? store.delete(key) : store.put(value, key)));
  } catch {
    /* storage off: kept for this visit only */
  }
}

// Whether the handle may be used as `mode` ('read' or 'readwrite'), asking
// the user when `ask` (only from a click).
export async function allowed(handle, mode, ask) {
  const options = { mode: mode };
  if (handle.queryPermission && (await handle.queryPermission(options)) === 'granted')
    return true;
  return ask && handle.requestPermission ? (await handle.requestPermission(options)) === 'granted' : false;
}
