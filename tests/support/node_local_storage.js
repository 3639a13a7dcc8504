// The test programs' localStorage under Node, which has none: the browser's Storage calls the
// web store makes, on a Map that lives as long as the program. While
// globalThis.tessleStorageFull is true every setItem fails as a full browser store does.
if (typeof globalThis.localStorage === 'undefined') {
  const items = new Map();
  globalThis.tessleStorageFull = false;
  globalThis.localStorage = {
    getItem(key) {
      key = String(key);
      return items.has(key) ? items.get(key) : null;
    },
    setItem(key, value) {
      if (globalThis.tessleStorageFull) {
        throw new DOMException('The quota has been exceeded.', 'QuotaExceededError');
      }
      items.set(String(key), String(value));
    },
    removeItem(key) {
      items.delete(String(key));
    },
    clear() {
      items.clear();
    },
    key(index) {
      const keys = Array.from(items.keys());
      return index >= 0 && index < keys.length ? keys[index] : null;
    },
    get length() {
      return items.size;
    },
  };
}
