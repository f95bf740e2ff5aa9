// Small helpers the modules share.

// The report text's lines joined by LF, as vantrel-cli prints them.
export function withoutLastLineEnd(text) {
  return text.endsWith('\n') ? text.slice(0, -1) : text;
}

export function download(name, bytes, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type: type }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 10000);
}

export function setMessage(element, text, refusal) {
  element.textContent = text || '';
  element.classList.toggle('refusal', !!refusal);
}
