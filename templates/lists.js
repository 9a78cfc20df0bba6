// Result lists: each status cell coloured by what it means (accepted, waiting, denied), and
// the yes/no boxes of a result shown as what they are: values, not controls; a look-up's rows
// chosen by a tap.
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
