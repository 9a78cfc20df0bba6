// The trip request form in the page: the server's checks of a saved request, shown all at once
// beside their fields before anything is posted. The server checks again; its rules and
// messages are these.
'use strict';

(function () {
  var form = document.forms.TripRequestDetail;
  if (!form) return;
  var required = (form.getAttribute('data-required') || '').split(',');

  function field(name) {
    var found = form.elements[name];
    // A field the user may not edit is text, not an input: the server keeps its stored value.
    return found && found.length && !found.tagName ? found[0] : found;
  }
  function value(name) {
    var f = field(name);
    if (!f) return null;
    if (f.type === 'checkbox') return f.checked ? 'ON' : '';
    return String(f.value).replace(/^\s+|\s+$/g, '');
  }
  function numeric(text) {
    return /^[-+]?[$]?(\d[\d,]*\.?\d*|\.\d+)$/.test(text.replace(/\s+/g, ''));
  }
  var monthIndex = {jan: 0, feb: 1, mar: 2, apr: 3, may: 4, jun: 5, jul: 6, aug: 7, sep: 8, oct: 9, nov: 10, dec: 11};
  function validDate(month, day, year) {
    var m = monthIndex[String(month).toLowerCase()];
    if (m === undefined) m = parseInt(month, 10) - 1;
    var d = parseInt(day, 10), y = parseInt(year, 10);
    if (!(m >= 0 && m < 12) || !d || !y) return false;
    var date = new Date(y, m, d);
    return date.getMonth() === m && date.getDate() === d;
  }

  // [field beside which the message goes, message] for every failed check.
  function problems() {
    var found = [];
    var depMonth = value('Dep_month'), depDay = value('Dep_date'), depYear = value('Dep_year');
    if (depMonth !== null && !(depMonth && depDay && depYear && validDate(depMonth, depDay, depYear))) {
      found.push(['Dep_month', 'Please enter a valid departure date.']);
    }
    if (value('Rtn_month') !== null && value('chkDefaultReturnDate') !== 'ON') {
      var rtnYear = value('Rtn_year') || depYear;
      if (!value('Rtn_month') || !value('Rtn_date') || !validDate(value('Rtn_month'), value('Rtn_date'), rtnYear)) {
        found.push(['Rtn_month', 'Please enter a valid return date.']);
      }
    }
    [['DEP_HOUR', 'DEPTIME_REQ', 'Departure Time is required.'],
     ['RET_HOUR', 'RETTIME_REQ', 'Return Time is required.'],
     ['ARRIVE_HOUR', 'ARRIVETIME_REQ', 'Arrive Time is required.'],
     ['LEAVE_HOUR', 'LEAVETIME_REQ', 'Leave Time is required.']].forEach(function (t) {
      if (value(t[0]) === '' && required.indexOf(t[1]) >= 0) found.push([t[0], t[2]]);
    });
    [['NUMADULTS', 'NUMADULTS_REQ', 'Please enter a valid number of adults (or 0) in the # of Adults field.', 'Number of adults is required.'],
     ['NUMSTUDENTS', 'NUMSTUDENTS_REQ', 'Please enter a valid number of adults (or 0) in the # of Students field.', 'Number of students is required.'],
     ['NUMHAND', 'NUMWHEEL_REQ', 'Please enter a valid number of handicapped students (or 0) in the # of Handicap.', 'Number of wheel chairs is required.'],
     ['ESTTIME', 'ESTTIME_REQ', 'Please enter a valid number of hours (or 0) in the Estimated Time.', 'Estimated Time is required.'],
     ['ESTMILE', 'ESTMILE_REQ', 'Please enter a valid number of miles (or 0) in the Estimated Miles.', 'Estimated Miles is required.']].forEach(function (c) {
      var text = value(c[0]);
      if (text === null) return;
      if (text !== '' && !numeric(text)) found.push([c[0], c[2]]);
      else if (text === '' && required.indexOf(c[1]) >= 0) found.push([c[0], c[3]]);
    });
    [['dest', 'DESTINATION_REQ', 'Destination is required.'],
     ['Contact', 'CONTACT_REQ', 'Contact is required.'],
     ['cust', 'CUSTOMER_REQ', 'Customer is required.'],
     ['fund', 'FUND_REQ', 'Fund is required.'],
     ['PURPOSE', 'PURPOSE_REQ', 'Purpose is required.'],
     ['DESTSPEC', 'DESTSPEC_REQ', 'Destination Special Instructions are required.'],
     ['CUSTSPEC', 'CUSTSPEC_REQ', 'Customer Special Instructions are required.'],
     ['TRIPCOM', 'TRIPCOM_REQ', 'Trip Comment is required.'],
     ['PO', 'PO_REQ', 'PO required.'],
     ['tripcat', 'TRIPCAT_REQ', 'Trip Category is required.'],
     ['INTTRIPNUM', 'INTTRIPNUM_REQ', 'Internal Trip Number is required.'],
     ['grade', 'GRADE_REQ', 'Grade is required.']].forEach(function (t) {
      if (value(t[0]) === '' && required.indexOf(t[1]) >= 0) found.push([t[0], t[2]]);
    });
    return found;
  }

  function clearMessages() {
    var shown = form.querySelectorAll('.field-error');
    for (var i = 0; i < shown.length; i++) shown[i].parentNode.removeChild(shown[i]);
    var marked = form.querySelectorAll('[aria-invalid]');
    for (var j = 0; j < marked.length; j++) marked[j].removeAttribute('aria-invalid');
  }

  function show(found) {
    found.forEach(function (problem, i) {
      var f = field(problem[0]);
      var message = document.createElement('span');
      message.className = 'field-error';
      message.id = 'problem-' + i;
      message.setAttribute('role', 'alert');
      message.textContent = problem[1];
      // Beside the field, or beside the group of selectors it belongs to.
      var anchor = f.closest('.selectors') || f;
      anchor.parentNode.insertBefore(message, anchor.nextSibling);
      f.setAttribute('aria-invalid', 'true');
      f.setAttribute('aria-describedby', message.id);
    });
    var first = field(found[0][0]);
    first.focus();
    first.scrollIntoView({block: 'center'});
  }

  // Enter in a text box does not press the form's first button (a look-up).
  form.addEventListener('keydown', function (event) {
    var target = event.target;
    if (event.key === 'Enter' && target.tagName === 'INPUT' && target.type === 'text') {
      event.preventDefault();
    }
  });

  // Approve and Deny: the words belong to their buttons, so the whole line can be tapped.
  var choices = form.querySelectorAll('input[name=Approve]');
  for (var c = 0; c < choices.length; c++) {
    var radio = choices[c], words = radio.nextSibling;
    var choice = document.createElement('label');
    choice.className = 'choice';
    radio.parentNode.insertBefore(choice, radio);
    choice.appendChild(radio);
    if (words && words.nodeType === 3) choice.appendChild(words);
  }

  // The chain follows the customer and the trip category when saved; its box only shows it.
  var chain = form.elements.CHAINID;
  if (chain) {
    chain.readOnly = true;
    chain.tabIndex = -1;
    chain.className = 'as-text';
  }

  // The trip categories with their descriptions; the code alone is still what is posted.
  var names = {};
  (form.getAttribute('data-tripcats') || '').split('|').forEach(function (pair) {
    var eq = pair.indexOf('=');
    if (eq > 0) names[pair.slice(0, eq).toUpperCase()] = pair.slice(eq + 1);
  });
  var category = form.elements.tripcat;
  if (category && category.options) {
    for (var o = 0; o < category.options.length; o++) {
      var option = category.options[o], code = option.value;
      if (names[code.toUpperCase()]) {
        option.value = code;
        option.text = code + ' \u2013 ' + names[code.toUpperCase()];
      }
    }
  }

  // Two minutes before the session runs out, the form offers to stay signed in.
  var minutes = parseInt(form.getAttribute('data-session-minutes'), 10) || 0;
  var warning = null, timer = null;
  function warnLater() {
    if (minutes < 3) return;
    clearTimeout(timer);
    timer = setTimeout(warn, (minutes - 2) * 60000);
  }
  function warn() {
    if (!warning) {
      warning = document.createElement('div');
      warning.className = 'session-warning';
      warning.setAttribute('role', 'alertdialog');
      warning.innerHTML = '<p>Your session ends in two minutes; what you typed is lost unless you save.</p>' +
        '<button type="button">Stay signed in</button>';
      document.body.appendChild(warning);
      warning.querySelector('button').addEventListener('click', stay);
    }
    warning.hidden = false;
    warning.querySelector('button').focus();
  }
  function stay() {
    fetch('/keep-alive', {credentials: 'same-origin', cache: 'no-store'}).then(function (answer) {
      if (answer.status === 204) {
        warning.hidden = true;
        warnLater();
      } else {
        warning.querySelector('p').textContent = 'Your session has already ended. Sign in again in another tab, then save here.';
      }
    });
  }
  warnLater();

  form.addEventListener('submit', function (event) {
    var button = event.submitter;
    if (!button || button.value !== 'Save') return;
    clearMessages();
    var found = problems();
    if (found.length) {
      event.preventDefault();
      show(found);
    }
  });
})();
