// Result lists: each status cell coloured by what it means (accepted, waiting, denied), and
// the yes/no boxes of a result shown as what they are: values, not controls; a look-up's rows
// chosen by a tap; a long search result shown a page at a time (all of it without script).
'use strict';

(function () {
  var cells = document.querySelectorAll('.results td, .report td');
  for (var i = 0; i < cells.length; i++) {
    var status = cells[i].textContent.replace(/^\s+|\s+$/g, '');
    var meaning = /^ACCEPTED$/i.test(status) ? 'accepted'
      : /^Denied$/i.test(status) ? 'denied'
      : /^(UNAPPROVED|Pending|[A-Z ]+ APPROVED)$/.test(status) ? 'pending' : '';
    if (meaning) cells[i].className += ' status status-' + meaning;
  }
  // A look-up's row is chosen by a tap anywhere on it.
  var rows = document.querySelectorAll('.results-wrap tr');
  for (var r = 0; r < rows.length; r++) {
    var radios = rows[r].querySelectorAll('input[type=radio]');
    if (radios.length !== 1) continue;
    rows[r].className += ' choosable';
    rows[r].addEventListener('click', function (event) {
      var radio = this.querySelector('input[type=radio]');
      if (event.target !== radio) radio.checked = true;
    });
  }
  var boxes = document.querySelectorAll('.results-wrap input[type=checkbox]');
  for (var j = 0; j < boxes.length; j++) {
    boxes[j].disabled = true;
    boxes[j].setAttribute('aria-readonly', 'true');
  }
})();

// A search's result, `data-page-rows` entries to a page. An entry is one or more table lines of
// one colour (the server alternates colours per entry), so an entry is never split.
(function () {
  var lists = document.querySelectorAll('[data-page-rows]');
  for (var l = 0; l < lists.length; l++) paginate(lists[l]);

  function paginate(list) {
    var size = parseInt(list.getAttribute('data-page-rows'), 10);
    var table = list.querySelector('table');
    if (!table || !(size > 0)) return;
    var entries = [];
    var last = null;
    for (var b = 0; b < table.tBodies.length; b++) {
      var rows = table.tBodies[b].rows;
      for (var r = 0; r < rows.length; r++) {
        var colour = rows[r].getAttribute('bgcolor');
        if (!entries.length || colour !== last) entries.push([]);
        entries[entries.length - 1].push(rows[r]);
        last = colour;
      }
    }
    var pages = Math.ceil(entries.length / size);
    if (pages < 2) return;
    var pager = document.createElement('nav');
    pager.className = 'pager no-print';
    pager.setAttribute('aria-label', 'Result pages');
    var previous = button('Previous');
    var status = document.createElement('span');
    status.setAttribute('role', 'status');
    var next = button('Next');
    pager.appendChild(previous);
    pager.appendChild(status);
    pager.appendChild(next);
    list.parentNode.insertBefore(pager, list);
    var page = 0;
    previous.addEventListener('click', function () { show(page - 1); });
    next.addEventListener('click', function () { show(page + 1); });
    show(0);

    function show(wanted) {
      page = Math.max(0, Math.min(pages - 1, wanted));
      for (var e = 0; e < entries.length; e++) {
        var hidden = Math.floor(e / size) !== page;
        for (var k = 0; k < entries[e].length; k++) entries[e][k].hidden = hidden;
      }
      status.textContent = 'Page ' + (page + 1) + ' of ' + pages;
      previous.disabled = page === 0;
      next.disabled = page === pages - 1;
    }
  }

  function button(label) {
    var made = document.createElement('button');
    made.type = 'button';
    made.className = 'secondary';
    made.textContent = label;
    return made;
  }
})();
