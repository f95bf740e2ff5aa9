// The core, compiled to WebAssembly, with its binding (binding.cpp): every
// text the page shows or gives for download comes from here.
import createVantrel from '../vantrel-web.js';

export const core = await createVantrel();
// Also at hand in the browser's console, and for automation.
globalThis.Module = core;

// Copies the file's bytes into the core once and loads them as the named
// file; null: the file could not be read. Returns the file's id.
export function openBytes(name, bytes) {
  if (bytes === null)
    return core.openUnreadable(name);
  const address = core.receiveBytes(bytes.length);
  core.HEAPU8.set(bytes, address);  // after receiveBytes: the memory may have grown
  return core.openReceived(name);
}
