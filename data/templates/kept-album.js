// The viewer of a kept album's pages, shared by every page of the site.
//
// A click on a photo opens it over the page and puts "#p=<name>" in the address, so that the
// address opens that very photo again; the back button leaves the viewer. Previous and next
// (buttons, arrow keys, a swipe) replace the address rather than add to the history. The
// camera panel shows what the photo records; the slideshow moves on at the interval chosen.
// Without this script every photo still links to its large image.
(function () {
  'use strict';
  var viewer = document.querySelector('dialog.viewer');
  var links = Array.prototype.slice.call(document.querySelectorAll('.grid a.photo'));
  if (!viewer || !links.length || typeof viewer.showModal !== 'function' ||
      !window.history.pushState) return;
  var stage = viewer.querySelector('.viewer-stage');
  var prev = viewer.querySelector('.viewer-prev');
  var next = viewer.querySelector('.viewer-next');
  var play = viewer.querySelector('.viewer-play');
  var interval = viewer.querySelector('.viewer-interval');
  var download = viewer.querySelector('.viewer-download');
  var image = null;
  var current = -1;
  var timer = null;
  var touch = null;

  function hashOf(i) {
    return '#p=' + encodeURIComponent(links[i].getAttribute('data-name'));
  }
  // The photo the address names, or -1.
  function named() {
    var match = /^#p=(.*)$/.exec(location.hash);
    if (!match) return -1;
    var name;
    try { name = decodeURIComponent(match[1]); } catch (e) { return -1; }
    for (var i = 0; i < links.length; ++i) {
      if (links[i].getAttribute('data-name') === name) return i;
    }
    return -1;
  }
  function pageAddress() {
    return location.pathname + location.search;
  }
  // The width the viewer draws a photo at, in CSS pixels, for the choice among its sizes.
  function drawnWidth(link) {
    var w = Number(link.getAttribute('data-width')) || 1;
    var h = Number(link.getAttribute('data-height')) || 1;
    var room = stage.getBoundingClientRect();
    var width = room.width > 0 ? room.width : window.innerWidth;
    var height = room.height > 0 ? room.height : window.innerHeight;
    return Math.max(1, Math.ceil(Math.min(width, height * w / h, w)));
  }
  function showCamera(link) {
    var rows = viewer.querySelectorAll('.viewer-camera [data-field]');
    for (var i = 0; i < rows.length; ++i) {
      var value = link.getAttribute('data-' + rows[i].getAttribute('data-field')) || '';
      rows[i].querySelector('dd').textContent = value;
      rows[i].hidden = value === '';
    }
  }
  function show(i) {
    if (i < 0 || i >= links.length) return;
    current = i;
    var link = links[i];
    if (!image) {
      image = document.createElement('img');
      image.className = 'viewer-image';
      stage.appendChild(image);
    }
    image.width = Number(link.getAttribute('data-width')) || 0;
    image.height = Number(link.getAttribute('data-height')) || 0;
    image.alt = link.getAttribute('data-name');
    image.sizes = drawnWidth(link) + 'px';
    image.srcset = link.getAttribute('data-srcset') || '';
    image.src = link.getAttribute('href');
    viewer.querySelector('.viewer-name').textContent = link.getAttribute('data-name');
    viewer.querySelector('.viewer-count').textContent = (i + 1) + ' / ' + links.length;
    showCamera(link);
    var original = link.getAttribute('data-original');
    download.hidden = !original;
    if (original) {
      download.setAttribute('href', original);
      download.setAttribute('download', '');
    } else {
      download.removeAttribute('href');
      download.removeAttribute('download');
    }
    prev.disabled = i === 0;
    next.disabled = i === links.length - 1 && timer === null;
  }
  function open(i) {
    show(i);
    history.pushState({ snapfolioViewer: true }, '', hashOf(i));
    if (!viewer.open) viewer.showModal();
    image.sizes = drawnWidth(links[i]) + 'px';
    viewer.querySelector('.viewer-close').focus();
  }
  function go(i) {
    if (i < 0 || i >= links.length) return;
    show(i);
    history.replaceState({ snapfolioViewer: true }, '', hashOf(i));
  }
  function stopShow() {
    if (timer !== null) clearInterval(timer);
    timer = null;
    play.textContent = play.getAttribute('data-play');
    play.setAttribute('aria-pressed', 'false');
  }
  function startShow() {
    stopShow();
    timer = setInterval(function () {
      go(current + 1 < links.length ? current + 1 : 0);
    }, Number(interval.value) * 1000);
    play.textContent = play.getAttribute('data-pause');
    play.setAttribute('aria-pressed', 'true');
  }
  function close() {
    stopShow();
    if (viewer.open) viewer.close();
  }

  links.forEach(function (link, i) {
    link.addEventListener('click', function (event) {
      if (event.button !== 0 || event.ctrlKey || event.metaKey || event.shiftKey || event.altKey) return;
      event.preventDefault();
      open(i);
    });
  });
  viewer.addEventListener('close', function () {
    stopShow();
    if (history.state && history.state.snapfolioViewer) history.back();
    if (links[current]) links[current].focus({ preventScroll: true });
  });
  window.addEventListener('popstate', function () {
    var i = named();
    if (i >= 0 && history.state && history.state.snapfolioViewer) {
      show(i);
      if (!viewer.open) viewer.showModal();
    } else {
      close();
    }
  });
  viewer.querySelector('.viewer-close').addEventListener('click', close);
  prev.addEventListener('click', function () { go(current - 1); });
  next.addEventListener('click', function () { go(current + 1); });
  play.addEventListener('click', function () {
    if (timer === null) startShow();
    else stopShow();
  });
  interval.addEventListener('change', function () {
    if (timer !== null) startShow();
  });
  viewer.addEventListener('click', function (event) {
    if (event.target === viewer || event.target === stage) close();
  });
  viewer.addEventListener('keydown', function (event) {
    if (event.target === interval) return;
    if (event.key === 'ArrowLeft') go(current - 1);
    else if (event.key === 'ArrowRight') go(current + 1);
    else return;
    event.preventDefault();
  });
  viewer.addEventListener('touchstart', function (event) {
    touch = event.touches.length === 1 ? { x: event.touches[0].clientX, y: event.touches[0].clientY } : null;
  }, { passive: true });
  viewer.addEventListener('touchend', function (event) {
    if (!touch || event.changedTouches.length !== 1) return;
    var dx = event.changedTouches[0].clientX - touch.x;
    var dy = event.changedTouches[0].clientY - touch.y;
    touch = null;
    if (Math.abs(dx) > 50 && Math.abs(dx) > 2 * Math.abs(dy)) go(dx < 0 ? current + 1 : current - 1);
  });

  // An address that names a photo opens it; the back button then leaves the viewer for the
  // album page itself.
  var first = named();
  if (first >= 0) {
    history.replaceState(null, '', pageAddress());
    open(first);
  }
})();
