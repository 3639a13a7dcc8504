// The browser's side of the game: the page's controls, their events, in-page modal windows and
// boxes, and the drawing surfaces. The rules and the layout are the core's (WebAssembly); this
// file only makes what it is told to make, draws what it is told to draw and queues what the
// player does for the core's event loop, which takes one event at a time.
'use strict';

const TessleUI = (() => {
  const els = new Map();          // element id -> element, ids given by the core
  const queue = [];               // events the core has not taken yet
  let waiter = null;              // resolves the core's wait for the next event
  const layers = [];              // open modal windows and boxes, topmost last
  let timer = null;
  let desktop, mainWindow, menubar;
  // Canvases have a device pixel per device pixel; on any high-density screen the pictures
  // come from their @2x files.
  const ratio = window.devicePixelRatio || 1;
  const high = ratio > 1;
  const started = performance.now();

  // Event kinds, as the core reads them.
  const EV = { click: 1, menuOpen: 2, command: 3, tick: 4, close: 5, answer: 6, key: 7, hint: 8 };

  function post(kind, target, value) {
    queue.push({ kind, target, value: value || 0 });
    if (waiter) {
      const w = waiter;
      waiter = null;
      w();
    }
  }

  // The core's wait: resolves with the oldest event not yet taken.
  function nextEvent() {
    if (queue.length) return Promise.resolve(queue.shift());
    return new Promise((resolve) => {
      waiter = () => resolve(queue.shift());
    });
  }

  // ---- Pictures ----
  const images = new Map();       // src -> {img, ready, waiting: Set of canvases}
  function image(src) {
    let entry = images.get(src);
    if (!entry) {
      const img = new Image();
      entry = { img, ready: false, waiting: new Set() };
      img.onload = () => {
        entry.ready = true;
        for (const canvas of entry.waiting) redrawPending(canvas);
        entry.waiting.clear();
      };
      img.onerror = () => console.warn('tessle: cannot load ' + src);
      img.src = src;
      images.set(src, entry);
    }
    return entry;
  }
  function pictureSrc(n) {
    return 'pictures/picture' + n + (high ? '@2x' : '') + '.png';
  }
  function iconSrc(name) {
    return 'icons/' + name + (high ? '@2x' : '') + '.png';
  }

  // ---- Elements ----
  const make = {
    panel: () => document.createElement('div'),
    surface: () => {
      const div = document.createElement('div');
      div.className = 'surface';
      div.appendChild(document.createElement('canvas'));
      return div;
    },
    button: () => {
      const b = document.createElement('button');
      b.type = 'button';
      return b;
    },
    label: () => document.createElement('span'),
    image: () => {
      const img = document.createElement('img');
      img.alt = '';
      img.draggable = false;
      return img;
    },
    rule: () => document.createElement('hr'),
    textbox: () => {
      const input = document.createElement('input');
      input.readOnly = true;
      return input;
    },
    page: () => {
      const div = document.createElement('div');
      div.className = 'page';
      div.attachShadow({ mode: 'open' });
      return div;
    },
  };

  function create(id, parent, kind, name, left, top, width, height) {
    const el = make[kind]();
    el.classList.add('control', kind);
    el.dataset.id = id;
    if (name) el.dataset.name = name;
    el.style.left = left + 'px';
    el.style.top = top + 'px';
    if (width >= 0) el.style.width = width + 'px';
    if (height >= 0) el.style.height = height + 'px';
    els.get(parent).appendChild(el);
    els.set(id, el);
    if (kind === 'surface') sizeCanvas(el);
    if (kind === 'surface' || kind === 'button' || kind === 'image') {
      el.addEventListener('click', () => {
        if (!el.disabled) post(EV.click, id);
      });
    }
    return el;
  }

  // The canvas fills the surface inside its 2-pixel border, in device pixels.
  function sizeCanvas(surface) {
    const canvas = surface.firstChild;
    const w = parseFloat(surface.style.width) - 4, h = parseFloat(surface.style.height) - 4;
    canvas.style.width = w + 'px';
    canvas.style.height = h + 'px';
    canvas.width = Math.round(w * ratio);
    canvas.height = Math.round(h * ratio);
  }

  function colour(ole) {
    const r = ole & 0xff, g = (ole >> 8) & 0xff, b = (ole >> 16) & 0xff;
    return 'rgb(' + r + ',' + g + ',' + b + ')';
  }

  // ---- Drawing ----
  function context(id) {
    const canvas = els.get(id).querySelector('canvas') || els.get(id);
    const ctx = canvas.getContext('2d');
    ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
    ctx.imageSmoothingEnabled = false;
    return { canvas, ctx };
  }
  function clear(id, back) {
    const el = els.get(id);
    const hidden = el.closest('[style*="display: none"]');
    const canvas = el.querySelector('canvas') || el;
    if (canvas.queued) canvas.queued.clear();
    if (hidden) {
      // A surface out of view (the other board) is cleared when it comes into view: making a
      // drawing context for each of them would hold up the first board.
      canvas.pendingBack = back;
      return;
    }
    canvas.pendingBack = undefined;
    const { ctx } = context(id);
    ctx.fillStyle = colour(back);
    ctx.fillRect(0, 0, canvas.width, canvas.height);
  }
  // A filled rectangle with both corners included, in CSS pixels.
  function box(id, x1, y1, x2, y2, fore) {
    const { ctx } = context(id);
    ctx.fillStyle = colour(fore);
    ctx.fillRect(Math.min(x1, x2), Math.min(y1, y2), Math.abs(x2 - x1) + 1, Math.abs(y2 - y1) + 1);
  }
  function line(id, x1, y1, x2, y2, fore) {
    if (x1 === x2 || y1 === y2) return box(id, x1, y1, x2, y2, fore);
    const { ctx } = context(id);
    ctx.fillStyle = colour(fore);
    // Pixel steps along the longer axis, both ends set, as the classic line is drawn.
    const n = Math.max(Math.abs(x2 - x1), Math.abs(y2 - y1));
    for (let k = 0; k <= n; ++k) {
      ctx.fillRect(Math.round(x1 + ((x2 - x1) * k) / n), Math.round(y1 + ((y2 - y1) * k) / n), 1, 1);
    }
  }
  // The w x h square of picture n at (sx, sy), in 96-dpi pixels, onto (dx, dy) of the canvas.
  // A picture still loading is drawn when it comes, unless something else was drawn meanwhile.
  function picture(id, n, sx, sy, w, h) {
    const { canvas } = context(id);
    drawPicture(canvas, { n, sx, sy, w, h, dx: 0, dy: 0 });
  }
  function drawPicture(canvas, op) {
    canvas.pendingBack = undefined;
    const entry = image(pictureSrc(op.n));
    if (!entry.ready) {
      (canvas.queued = canvas.queued || new Map()).set(op.dx + ',' + op.dy, op);
      entry.waiting.add(canvas);
      return;
    }
    if (canvas.queued) canvas.queued.delete(op.dx + ',' + op.dy);
    const ctx = canvas.getContext('2d');
    ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
    ctx.imageSmoothingEnabled = true;
    const scale = entry.img.naturalWidth / 220;  // 2 for the @2x pictures
    ctx.drawImage(entry.img, op.sx * scale, op.sy * scale, op.w * scale, op.h * scale,
                  op.dx, op.dy, op.w, op.h);
    noteDrawn(canvas);
  }
  function redrawPending(canvas) {
    if (!canvas.queued) return;
    for (const op of [...canvas.queued.values()]) drawPicture(canvas, op);
  }
  // The first board drawn: every tile surface of the board in view shows its picture. Checked
  // once the current round of drawing is over.
  let firstBoard = null;
  let checking = false;
  function noteDrawn() {
    if (firstBoard !== null || checking) return;
    checking = true;
    queueMicrotask(() => {
      checking = false;
      const board = [...document.querySelectorAll('.board')].find((b) => b.style.display !== 'none');
      if (!board) return;
      const tiles = [...board.querySelectorAll('.surface canvas')];
      if (tiles.some((c) => c.queued && c.queued.size)) return;
      firstBoard = performance.now();
      performance.mark('tessle-first-board');
    });
  }

  // ---- Texts and states ----
  function setText(id, text) {
    const el = els.get(id);
    if (el.tagName === 'INPUT') {
      if (el.value !== text) el.value = text;
    } else if (el.textContent !== text) {
      el.textContent = text;
    }
  }
  function setVisible(id, visible) {
    const el = els.get(id);
    if ((el.style.display !== 'none') === visible) return;
    el.style.display = visible ? '' : 'none';
    if (!visible) return;
    for (const canvas of el.querySelectorAll('canvas')) {
      if (canvas.pendingBack !== undefined) clear(Number(canvas.parentElement.dataset.id), canvas.pendingBack);
    }
  }
  function moveTo(id, left, top) {
    const el = els.get(id);
    el.style.left = left + 'px';
    el.style.top = top + 'px';
  }
  function setEnabled(id, enabled) {
    const el = els.get(id);
    if (el.disabled === !enabled) return;
    el.disabled = !enabled;
    queueMicrotask(repairFocus);
  }
  // An icon (a button's picture, or an image control's) or, for a number, a built-in picture.
  function setImage(id, name) {
    let el = els.get(id);
    if (el.tagName === 'BUTTON') {
      el = el.querySelector('img') || el.appendChild(make.image());
    }
    el.src = typeof name === 'number' ? pictureSrc(name)
      : name === 'tessle' ? 'icons/tessle.svg' : iconSrc(name);
  }
  function setTip(id, text) {
    els.get(id).title = text;
  }
  function setFont(id, families, points) {
    const el = els.get(id);
    el.style.fontFamily = families;
    el.style.fontSize = points + 'pt';
  }
  function setClass(id, name, on) {
    els.get(id).classList.toggle(name, !!on);
  }

  // ---- The main window ----
  function openMain(title, clientWidth, clientHeight) {
    performance.mark('tessle-main');  // the game's code has started: for the load benchmark
    document.title = title;
    desktop = document.getElementById('desktop');
    mainWindow = document.getElementById('main');
    menubar = mainWindow.querySelector('.menubar');
    const form1 = document.getElementById('form1');
    form1.style.width = clientWidth + 'px';
    form1.style.height = clientHeight + 'px';
    els.set(0, form1);
    fit();
  }
  function setTitle(id, text) {
    if (id === 0) {
      if (document.title !== text) document.title = text;
    } else {
      const bar = els.get(id).closest('.dialog').querySelector('.caption');
      if (bar.textContent !== text) bar.textContent = text;
    }
  }
  function closeMain(text) {
    stopMenus();
    mainWindow.remove();
    const note = document.createElement('p');
    note.className = 'closed';
    note.textContent = text;
    desktop.appendChild(note);
    window.close();
  }

  // The whole desktop scales down to fit a narrow screen, never reflowing: windows keep their
  // twips geometry.
  function fit() {
    if (!desktop) return;
    let need = mainWindow ? mainWindow.offsetWidth : 0;
    for (const layer of layers) need = Math.max(need, layer.dialog.offsetWidth);
    need += 16;
    const width = document.documentElement.clientWidth;
    const scale = Math.min(1, width / need);
    desktop.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
    desktop.dataset.scale = scale;
    if (mainWindow) {
      mainWindow.style.left = Math.max(8, Math.round((width / scale - mainWindow.offsetWidth) / 2)) + 'px';
    }
    for (const layer of layers) place(layer.dialog);
  }

  // ---- Menus ----
  const menuItems = new Map();    // id -> {el, parent, key, hasEntries, hasCommand, tickable, popup}
  let openMenus = [];             // ids of open menus, outermost first
  let barActive = false;

  function accessParts(caption) {
    const i = caption.indexOf('&');
    if (i < 0 || i === caption.length - 1) return { before: caption, key: '', after: '' };
    return { before: caption.slice(0, i), key: caption[i + 1], after: caption.slice(i + 2) };
  }
  function captionNode(caption) {
    const parts = accessParts(caption);
    const span = document.createElement('span');
    span.className = 'text';
    span.append(parts.before);
    if (parts.key) {
      const u = document.createElement('u');
      u.textContent = parts.key;
      span.append(u);
    }
    span.append(parts.after);
    return { node: span, key: parts.key.toLowerCase() };
  }

  function menuItem(id, parent, caption, hasEntries, hasCommand, tickable) {
    let el;
    const info = { id, parent, hasEntries, hasCommand, tickable, key: '' };
    if (caption === '-') {
      el = document.createElement('div');
      el.className = 'menu-separator';
      el.setAttribute('role', 'separator');
    } else {
      const { node, key } = captionNode(caption);
      info.key = key;
      el = document.createElement('div');
      el.className = parent ? 'menu-item' : 'menu-title';
      el.setAttribute('role', parent ? (tickable ? 'menuitemcheckbox' : 'menuitem') : 'menuitem');
      el.tabIndex = -1;
      if (parent) {
        const tick = document.createElement('span');
        tick.className = 'tick';
        el.append(tick, node);
        if (hasEntries) {
          const arrow = document.createElement('span');
          arrow.className = 'arrow';
          el.append(arrow);
        }
      } else {
        el.append(node);
      }
      if (hasEntries) {
        el.setAttribute('aria-haspopup', 'menu');
        const popup = document.createElement('div');
        popup.className = 'menu-popup';
        popup.setAttribute('role', 'menu');
        popup.style.display = 'none';
        info.popup = popup;
        (parent ? menuItems.get(parent).popup : menubar).appendChild(popup);
      }
      el.addEventListener('click', (e) => {
        e.stopPropagation();
        choose(id);
      });
      el.addEventListener('mouseenter', () => hover(id));
    }
    el.dataset.menu = id;
    info.el = el;
    menuItems.set(id, info);
    if (parent) menuItems.get(parent).popup.appendChild(el);
    else menubar.insertBefore(el, menubar.querySelector('.menu-popup'));
  }

  function setMenuState(id, enabled, checked) {
    const info = menuItems.get(id);
    if (!info || !info.el.classList) return;
    info.el.classList.toggle('disabled', !enabled);
    info.el.setAttribute('aria-disabled', String(!enabled));
    if (info.tickable) {
      info.el.classList.toggle('checked', !!checked);
      info.el.setAttribute('aria-checked', String(!!checked));
    }
  }

  // A menu opens once the core has run its command (which refreshes its entries).
  function openMenu(id) {
    const info = menuItems.get(id);
    if (info.hasCommand) post(EV.menuOpen, id);
    else showMenu(id);
  }
  function showMenu(id) {
    const info = menuItems.get(id);
    // Close whatever is open that is not an ancestor of this menu.
    const chain = [];
    for (let p = id; p; p = menuItems.get(p).parent) chain.unshift(p);
    for (const open of [...openMenus].reverse()) {
      if (!chain.includes(open)) hideMenu(open);
    }
    if (openMenus.includes(id)) return;
    const popup = info.popup;
    popup.style.display = '';
    if (info.parent) {
      popup.style.left = (info.el.offsetLeft + info.el.offsetWidth - 2) + 'px';
      popup.style.top = (info.el.offsetTop - 3) + 'px';
    } else {
      popup.style.left = info.el.offsetLeft + 'px';
      popup.style.top = (info.el.offsetTop + info.el.offsetHeight) + 'px';
    }
    info.el.classList.add('open');
    info.el.setAttribute('aria-expanded', 'true');
    openMenus.push(id);
    highlight(firstEntry(id));
  }
  function hideMenu(id) {
    const info = menuItems.get(id);
    info.popup.style.display = 'none';
    info.el.classList.remove('open');
    info.el.setAttribute('aria-expanded', 'false');
    openMenus = openMenus.filter((m) => m !== id);
    for (const child of info.popup.querySelectorAll('.hot')) child.classList.remove('hot');
  }
  function stopMenus() {
    for (const open of [...openMenus].reverse()) hideMenu(open);
    barActive = false;
    for (const t of menubar ? menubar.querySelectorAll('.menu-title.hot') : []) {
      t.classList.remove('hot');
    }
  }
  function entriesOf(id) {
    return [...menuItems.values()].filter((m) => m.parent === id && m.el.classList.contains('menu-item'));
  }
  function titles() {
    return [...menuItems.values()].filter((m) => !m.parent);
  }
  function firstEntry(id) {
    const entries = entriesOf(id);
    return entries.length ? entries[0].id : 0;
  }
  function highlight(id) {
    if (!id) return;
    const info = menuItems.get(id);
    const siblings = info.parent ? entriesOf(info.parent) : titles();
    for (const s of siblings) s.el.classList.toggle('hot', s.id === id);
    info.el.focus({ preventScroll: true });
  }
  function hot(parent) {
    const list = parent ? entriesOf(parent) : titles();
    const h = list.find((m) => m.el.classList.contains('hot'));
    return h ? h.id : 0;
  }
  function hover(id) {
    const info = menuItems.get(id);
    if (!openMenus.length) return;
    if (!info.parent) {
      if (info.hasEntries && !openMenus.includes(id)) {
        stopMenus();
        openMenu(id);
      }
      return;
    }
    highlight(id);
    if (info.hasEntries && !info.el.classList.contains('disabled')) openMenu(id);
  }
  function choose(id) {
    const info = menuItems.get(id);
    if (info.el.classList.contains('disabled')) return;
    if (info.hasEntries) {
      if (!info.parent && openMenus.includes(id)) {
        stopMenus();
        return;
      }
      if (!info.parent) stopMenus();
      openMenu(id);
      return;
    }
    stopMenus();
    post(EV.command, id);
  }

  function menuKey(e) {
    const open = openMenus[openMenus.length - 1];
    if (!open && !barActive) return false;
    const key = e.key;
    if (key === 'Escape') {
      if (openMenus.length > 1) hideMenu(open);
      else stopMenus();
      return true;
    }
    if (!open) {  // the bar has the keyboard, no menu open
      const list = titles();
      const i = list.findIndex((m) => m.id === hot(0));
      if (key === 'ArrowRight' || key === 'ArrowLeft') {
        const n = list.length, step = key === 'ArrowRight' ? 1 : n - 1;
        highlight(list[(Math.max(i, 0) + step) % n].id);
        return true;
      }
      if (key === 'Enter' || key === 'ArrowDown' || key === ' ') {
        if (i >= 0) choose(list[i].id);
        return true;
      }
      const t = list.find((m) => m.key && m.key === key.toLowerCase());
      if (t) choose(t.id);
      return true;
    }
    const entries = entriesOf(open).filter((m) => !m.el.classList.contains('menu-separator'));
    const i = entries.findIndex((m) => m.id === hot(open));
    if (key === 'ArrowDown' || key === 'ArrowUp') {
      const n = entries.length;
      const down = key === 'ArrowDown';
      const j = i < 0 ? (down ? 0 : n - 1) : (i + (down ? 1 : n - 1)) % n;
      highlight(entries[j].id);
      return true;
    }
    if (key === 'Enter' || key === ' ') {
      if (i >= 0) choose(entries[i].id);
      return true;
    }
    if (key === 'ArrowRight') {
      if (i >= 0 && entries[i].hasEntries) choose(entries[i].id);
      else stepTitle(1);
      return true;
    }
    if (key === 'ArrowLeft') {
      if (openMenus.length > 1) hideMenu(open);
      else stepTitle(-1);
      return true;
    }
    // An access key, with or without Alt, chooses its entry (a menu's opens).
    const k = key.length === 1 ? key.toLowerCase()
      : (e.code && e.code.startsWith('Key') ? e.code.slice(3).toLowerCase() : '');
    const match = entries.find((m) => m.key && m.key === k);
    if (match) choose(match.id);
    return true;
  }
  function stepTitle(step) {
    const list = titles();
    const i = list.findIndex((m) => m.id === openMenus[0]);
    const next = list[(i + step + list.length) % list.length];
    stopMenus();
    barActive = true;
    highlight(next.id);
    if (next.hasEntries) choose(next.id);
  }

  // ---- Modal windows and boxes ----
  function place(dialog) {
    // Centred over the main window, kept inside the page.
    const scale = parseFloat(desktop.dataset.scale || '1');
    const viewW = document.documentElement.clientWidth / scale;
    const viewH = Math.max(window.innerHeight / scale, mainWindow ? mainWindow.offsetTop + mainWindow.offsetHeight : 0);
    const mx = mainWindow ? mainWindow.offsetLeft + mainWindow.offsetWidth / 2 : viewW / 2;
    const my = mainWindow ? mainWindow.offsetTop + mainWindow.offsetHeight / 2 : viewH / 2;
    let left = Math.round(mx - dialog.offsetWidth / 2);
    let top = Math.round(my - dialog.offsetHeight / 2);
    left = Math.max(0, Math.min(left, viewW - dialog.offsetWidth));
    top = Math.max(0, Math.min(top, viewH - dialog.offsetHeight));
    dialog.style.left = left + 'px';
    dialog.style.top = top + 'px';
  }

  function openLayer(dialog, id, onEscape) {
    stopMenus();
    const before = document.activeElement;
    const below = layers.length ? layers[layers.length - 1].dialog : mainWindow;
    if (below) below.inert = true;
    dialog.style.left = '0px';  // measured where it has the whole page to lay out in
    dialog.style.top = '0px';
    desktop.appendChild(dialog);
    const layer = { id, dialog, before, onEscape };
    layers.push(layer);
    fit();
    place(dialog);
    return layer;
  }
  function closeLayer(id) {
    const i = layers.findIndex((l) => l.id === id);
    if (i < 0) return;
    const [layer] = layers.splice(i, 1);
    layer.dialog.remove();
    const below = layers.length ? layers[layers.length - 1].dialog : mainWindow;
    if (below) below.inert = false;
    fit();
    if (layer.before && layer.before.isConnected && !layer.before.disabled) {
      layer.before.focus({ preventScroll: true });
    }
    queueMicrotask(repairFocus);
  }
  function frame(caption, clientWidth, clientHeight, onClose) {
    const dialog = document.createElement('div');
    dialog.className = 'dialog';
    dialog.setAttribute('role', 'dialog');
    dialog.setAttribute('aria-modal', 'true');
    const bar = document.createElement('div');
    bar.className = 'titlebar';
    const cap = document.createElement('span');
    cap.className = 'caption';
    cap.textContent = caption;
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'close';
    close.tabIndex = -1;
    close.setAttribute('aria-label', '关闭');
    close.textContent = '\u2715';
    close.addEventListener('click', onClose);
    bar.append(cap, close);
    const client = document.createElement('div');
    client.className = 'client';
    if (clientWidth >= 0) client.style.width = clientWidth + 'px';
    if (clientHeight >= 0) client.style.height = clientHeight + 'px';
    dialog.append(bar, client);
    dialog.setAttribute('aria-label', caption);
    return { dialog, client };
  }

  // A window of the rules: its controls are made into element `id`.
  function openDialog(id, name, caption, clientWidth, clientHeight) {
    const { dialog, client } = frame(caption, clientWidth, clientHeight, () => post(EV.close, id));
    dialog.dataset.name = name;
    client.classList.add('control-root');
    els.set(id, client);
    openLayer(dialog, id, () => post(EV.close, id));
  }
  function dialogShown(id) {
    const layer = layers.find((l) => l.id === id);
    if (!layer) return;
    const first = [...layer.dialog.querySelectorAll('button:not(.close)')]
      .find((b) => !b.disabled && b.offsetParent);
    if (first) first.focus({ preventScroll: true });
    else layer.dialog.tabIndex = -1, layer.dialog.focus({ preventScroll: true });
  }
  function closeDialog(id) {
    closeLayer(id);
    for (const [key, el] of els) {
      if (!el.isConnected && key !== 0) els.delete(key);
    }
  }

  const ICONS = {
    16: '<svg viewBox="0 0 32 32"><circle cx="16" cy="16" r="15" fill="#d9342b"/><path d="M10 10l12 12M22 10L10 22" stroke="#fff" stroke-width="3.5" stroke-linecap="round"/></svg>',
    32: '<svg viewBox="0 0 32 32"><circle cx="16" cy="16" r="15" fill="#2a6ad8"/><text x="16" y="23" font-size="20" font-weight="bold" text-anchor="middle" fill="#fff" font-family="sans-serif">?</text></svg>',
    48: '<svg viewBox="0 0 32 32"><path d="M16 2L31 29H1z" fill="#f2c200"/><text x="16" y="26" font-size="18" font-weight="bold" text-anchor="middle" fill="#000" font-family="sans-serif">!</text></svg>',
    64: '<svg viewBox="0 0 32 32"><circle cx="16" cy="16" r="15" fill="#2a6ad8"/><text x="16" y="24" font-size="20" font-weight="bold" text-anchor="middle" fill="#fff" font-family="serif">i</text></svg>',
  };

  // A message box: OK, or Yes and No; `defaultNo` makes No the default. Answers come back as
  // events (1 OK, 6 Yes, 7 No); Escape answers No, or OK.
  function showBox(id, title, text, icon, yesNo, defaultNo) {
    const answer = (value) => post(EV.answer, id, value);
    const escape = yesNo ? 7 : 1;
    const { dialog, client } = frame(title, -1, -1, () => answer(escape));
    dialog.classList.add('msgbox');
    dialog.setAttribute('role', 'alertdialog');
    const body = document.createElement('div');
    body.className = 'msgbox-body';
    if (ICONS[icon]) {
      const i = document.createElement('span');
      i.className = 'icon';
      i.innerHTML = ICONS[icon];
      body.append(i);
    }
    const words = document.createElement('p');
    words.className = 'text';
    words.textContent = text.replace(/\r\n/g, '\n');
    body.append(words);
    const buttons = document.createElement('div');
    buttons.className = 'buttons';
    const made = (yesNo ? [['是(Y)', 6, 'y'], ['否(N)', 7, 'n']] : [['确定', 1, '']]).map(
      ([caption, value, key]) => {
        const b = document.createElement('button');
        b.type = 'button';
        b.textContent = caption;
        b.dataset.answer = value;
        if (key) b.dataset.key = key;
        b.addEventListener('click', () => answer(value));
        buttons.append(b);
        return b;
      });
    client.append(body, buttons);
    const layer = openLayer(dialog, id, () => answer(escape));
    layer.keys = made;
    const def = yesNo && defaultNo ? made[1] : made[0];
    def.classList.add('default');
    def.focus({ preventScroll: true });
  }

  // Focus never stays on a control that can no longer take it: it goes to the next button of
  // the same window that can.
  function repairFocus() {
    const top = layers[layers.length - 1];
    if (!top) return;
    const active = document.activeElement;
    if (active && top.dialog.contains(active) && !active.disabled && active.offsetParent) return;
    const buttons = [...top.dialog.querySelectorAll('button:not(.close)')];
    const from = active && top.dialog.contains(active) ? buttons.indexOf(active) : -1;
    const order = buttons.slice(from + 1).concat(buttons.slice(0, from + 1));
    const next = order.find((b) => !b.disabled && b.offsetParent);
    if (next) next.focus({ preventScroll: true });
    else top.dialog.focus({ preventScroll: true });
  }

  // ---- Page view ----
  function showPage(id, html, side) {
    const root = els.get(id).shadowRoot;
    const doc = new DOMParser().parseFromString(html, 'text/html');  // inert: nothing loads
    const img = doc.querySelector('img');
    if (img) {
      const canvas = doc.createElement('canvas');
      canvas.className = 'board';
      canvas.style.width = side + 'px';
      canvas.style.height = side + 'px';
      canvas.style.display = 'block';
      canvas.width = Math.round(side * ratio);
      canvas.height = Math.round(side * ratio);
      img.replaceWith(canvas);
    }
    const styles = [...doc.querySelectorAll('style')];
    // The page's background fills the view, as a browser's does.
    const fill = doc.createElement('style');
    fill.textContent = ':host > body { margin: 0; padding: 8px; min-height: 100%; box-sizing: border-box; }';
    styles.push(fill);
    root.replaceChildren(...styles.map((s) => document.adoptNode(s)), document.adoptNode(doc.body));
  }
  function pageContext(id) {
    const canvas = els.get(id).shadowRoot.querySelector('canvas');
    return canvas;
  }
  function pageFill(id, x, y, size, rgb) {
    const canvas = pageContext(id);
    if (!canvas) return;
    const ctx = canvas.getContext('2d');
    ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
    ctx.fillStyle = '#' + rgb.toString(16).padStart(6, '0');
    ctx.fillRect(x, y, size, size);
  }
  function pagePicture(id, n, sx, sy, size, x, y) {
    const canvas = pageContext(id);
    if (canvas) drawPicture(canvas, { n, sx, sy, w: size, h: size, dx: x, dy: y });
  }

  // ---- Keyboard ----
  let altAlone = false;
  function onKeyDown(e) {
    if (e.key === 'Alt') {
      altAlone = true;
      return;
    }
    altAlone = false;
    if (menuKey(e)) {
      e.preventDefault();
      return;
    }
    const top = layers[layers.length - 1];
    if (top) {
      if (e.key === 'Escape') {
        e.preventDefault();
        top.onEscape();
        return;
      }
      if (top.keys && !e.ctrlKey && !e.metaKey) {  // a box: Y and N, with or without Alt
        const b = top.keys.find((k) => k.dataset.key && k.dataset.key === e.key.toLowerCase());
        if (b) {
          e.preventDefault();
          b.click();
          return;
        }
      }
      if (e.key === 'Enter' && !(document.activeElement instanceof HTMLButtonElement)) {
        // Enter presses the default button: the focused one, else the window's first.
        e.preventDefault();
        const def = top.dialog.querySelector('button.default') ||
          [...top.dialog.querySelectorAll('button:not(.close)')].find((b) => !b.disabled && b.offsetParent);
        if (def) def.click();
      }
      return;
    }
    if (e.key === 'F10' && !e.shiftKey) {
      e.preventDefault();
      activateBar();
      return;
    }
    // The main window's own keys, by their classic codes: only with it topmost, no menu open.
    const code = GAME_KEYS[e.key] || (e.code === 'KeyH' ? 72 : 0);
    if (code && mainWindow && !e.ctrlKey && !e.altKey && !e.metaKey) {
      e.preventDefault();
      post(EV.key, 0, code);
    }
  }
  const GAME_KEYS = { ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40, h: 72, H: 72 };
  function onKeyUp(e) {
    if (e.key === 'Alt' && altAlone) {
      altAlone = false;
      e.preventDefault();
      if (layers.length) return;
      if (barActive || openMenus.length) stopMenus();
      else activateBar();
    }
  }
  function activateBar() {
    if (!menubar || layers.length) return;
    barActive = true;
    highlight(titles()[0].id);
  }

  // ---- Hints ----
  // The searches run in a worker of their own, made at the first hint or 4 x 4 board: the page
  // loads without the solver.
  let hintWorker = null;
  function worker() {
    if (!hintWorker) {
      hintWorker = new Worker('hint_worker.js');
      hintWorker.onmessage = (e) => post(EV.hint, e.data.id, e.data.tile);
      hintWorker.onerror = (e) => console.error('tessle: hint worker: ' + e.message);
    }
    return hintWorker;
  }
  function searchHint(id, cells) {
    worker().postMessage({ id, cells });
  }
  function prepareHints() {
    worker().postMessage({ prepare: true });
  }

  // ---- Start ----
  function start() {
    // The numbers are the picture of a first game (and of every 4 x 4 one): fetched now, while
    // the game's code loads, rather than when its first board asks for it.
    image(pictureSrc(1));
    document.addEventListener('keydown', onKeyDown, true);
    document.addEventListener('keyup', onKeyUp, true);
    document.addEventListener('mousedown', (e) => {
      if (menubar && !menubar.contains(e.target)) stopMenus();
      // A control marked nofocus takes no focus from a click (the new-game button).
      if (e.target.closest && e.target.closest('.nofocus')) e.preventDefault();
    }, true);
    window.addEventListener('resize', fit);
    window.addEventListener('blur', stopMenus);
  }

  return {
    EV, post, nextEvent, create, clear, box, line, picture, setText, setVisible,
    moveTo, setEnabled, setImage, setTip, setClass, setFont, openMain, setTitle, closeMain, menuItem,
    setMenuState, showMenu, openDialog, dialogShown, closeDialog, showBox, closeBox: closeLayer,
    showPage, pageFill, pagePicture, start, fit, searchHint, prepareHints,
    get ratio() { return ratio; },
    get firstBoardAt() { return firstBoard; },
    get startedAt() { return started; },
    timer(on) {
      if (on && !timer) timer = setInterval(() => post(EV.tick, 0), 1000);
      if (!on && timer) {
        clearInterval(timer);
        timer = null;
      }
    },
    // In front: the page visible, the browser window focused, no modal window over the main one.
    isForeground() {
      return document.visibilityState === 'visible' && document.hasFocus() && layers.length === 0;
    },
    openAddress(address) {
      window.open(address, '_blank', 'noopener');
    },
  };
})();
TessleUI.start();
