// The browser suite: what a school secretary and the approvers do, in Debian's chromium driven by
// playwright-core, against the demo district that tests/browser/run serves.
'use strict';
const fs = require('fs');
const path = require('path');
const { chromium } = require('playwright-core');

const base = process.env.JAUNTER_URL;
const mailDir = process.env.JAUNTER_MAIL_DIR;
const shots = process.env.JAUNTER_SHOTS || '';
// JAUNTER_VIEWPORT=390x844 runs the suite as on a phone.
const [width, height] = (process.env.JAUNTER_VIEWPORT || '1366x768').split('x').map(Number);
const tests = [];
const test = (name, body) => tests.push({ name, body });

function check(condition, message) {
  if (!condition) throw new Error(message);
}

// The demo's customers and look-up values the flows use.
const passwords = { athdir: 'athletics', transport: 'transport' };

// A page that fails its test on any console error, page error or failed or missing static file.
async function open(browser) {
  const context = await browser.newContext({ viewport: { width, height } });
  const page = await context.newPage();
  page.problems = [];
  page.on('console', (m) => m.type() === 'error' && page.problems.push('console: ' + m.text()));
  page.on('pageerror', (e) => page.problems.push('page error: ' + e.message));
  // A page left while it loads cancels its files (ERR_ABORTED): that is no failure.
  page.on('requestfailed', (r) => r.failure().errorText !== 'net::ERR_ABORTED' &&
    page.problems.push('failed: ' + r.url() + ' ' + r.failure().errorText));
  // A page's own status is the test's business; its files must all be there.
  page.on('response', (r) => r.status() >= 400 && r.request().resourceType() !== 'document' &&
    page.problems.push(r.status() + ' ' + r.url()));
  page.on('dialog', (d) => {
    page.dialogs = (page.dialogs || []).concat(d.message());
    d.accept();
  });
  return page;
}

async function signIn(page, user, password, button = 'Work With Trip Requests') {
  await page.goto(base);
  await page.fill('#user', user);
  await page.fill('#password', password);
  await Promise.all([page.waitForNavigation(), page.click(`input[value="${button}"]`)]);
}

async function menu(page, value) {
  await page.click(`form[name=Navigate] input[value="${value}"]`);
}

// A new athletic trip with the look-ups: the customer's only for users who serve every customer
// (a requester's customer is his own).
async function enterRequest(page, { user = 'athl', password = 'request', purpose, days = 30 }) {
  await signIn(page, user, password, 'Enter a New Trip Request');
  if (user !== 'athl') {
    await page.click('input[name=btnSubmit][value=Customer]');
    await page.fill('#CUSTDESC', 'Athletics');
    await page.click('input[value=Find]');
    await page.click('tr.choosable:has-text("Athletics")');  // a tap on the row chooses it
    await page.click('input[value=Return]');
  }
  await page.click('input[name=btnSubmit][value=Destination]');
  await page.fill('#DESTDESC', 'Riverbend');
  await page.click('input[value=Find]');
  await page.check('input[name=SelDest] >> nth=0');
  await page.click('input[value=Return]');
  await page.click('input[name=btnSubmit][value=Fund]');
  await page.fill('#FUND', '200');
  await page.click('input[value=Find]');
  await page.check('input[name=SelFund]');
  await page.click('input[value=Return]');
  // Leaving the fund look-up without a choice keeps the fund.
  await page.click('input[name=btnSubmit][value=Fund]');
  await Promise.all([page.waitForNavigation(), page.click('button[name=btnBack]')]);
  check(await page.inputValue('select[name=fund]') === '200', 'leaving the fund look-up cleared the fund');
  const when = new Date(Date.now() + days * 86400000);
  await setDeparture(page, when);
  await page.selectOption('select[name=tripcat]', 'ATH');
  await page.fill('#Contact', 'Coach Rivera');
  await page.fill('#PURPOSE', purpose);
  await page.fill('#NUMSTUDENTS', '24');
  await page.fill('#NUMADULTS', '2');
  await page.selectOption('select[name=DEP_HOUR]', '3');
  await page.check('input[name=DEP_AMPM][value=PM]');
  await page.selectOption('select[name=RET_HOUR]', '6');
  await page.check('input[name=RET_AMPM][value=PM]');
}

async function setDeparture(page, when) {
  await page.selectOption('select[name=Dep_month]', when.toLocaleString('en-US', { month: 'short' }));
  await page.selectOption('select[name=Dep_date]', String(when.getDate()));
  await page.selectOption('select[name=Dep_year]', String(when.getFullYear()));
}

async function save(page) {
  await Promise.all([page.waitForNavigation(), page.click('input[name=btnSubmit][value=Save]')]);
  const shown = (await text(page)).match(/Request #\s*(\d+)/);
  const field = await page.$('input[name=TRIPNUM]');
  return field ? field.inputValue() : shown ? shown[1] : '';
}

const mailsTo = (who) =>
  fs.readdirSync(mailDir).sort().map((f) => fs.readFileSync(path.join(mailDir, f), 'latin1'))
    .filter((m) => m.includes(who));

async function openRequest(page, number) {
  await page.goto(`${base}Jaunter.ASP?WCI=RequestDetail&WCE=${number}&WCU`);
}

async function decide(page, user, number, choice) {
  await signIn(page, user, passwords[user]);
  await openRequest(page, number);
  // The whole line of a choice is its tap target.
  const line = page.locator('label.choice', { hasText: choice });
  check((await line.boundingBox()).height >= 44, `${choice} is a small tap target`);
  await line.click();
  await save(page);
}

const text = (page) => page.innerText('body');

test('a requester enters a request with the three look-ups and the approvers accept it', async (page) => {
  await enterRequest(page, { purpose: 'League final' });
  const number = await save(page);
  check(/^\d+$/.test(number), 'no request number after saving: ' + (await text(page)).slice(0, 300));
  check((await text(page)).includes(`Request #${number} saved and sent to athl.office@`), 'no saved notice');
  check(await page.evaluate(() => window.scrollY) === 0, 'the saved request does not open at its top');
  await decide(page, 'athdir', number, 'Approve');
  check((await text(page)).includes('ATHLETICS APPROVED'), 'the first level did not approve');
  check((await text(page)).includes(`Request #${number} approved and sent to`), 'no approved notice');
  await decide(page, 'transport', number, 'Approve');
  check((await text(page)).includes('ACCEPTED'), 'the second level did not accept');
  const mails = mailsTo(`#${number}`);
  check(mails.length >= 4, `expected mail about #${number}, got ${mails.length}`);
  const entered = mails.filter((m) => /has been entered|needs your approval/.test(m)).slice(0, 2);
  check(entered.every((m) => /Destination: \S/.test(m)), 'a mail of the save names no destination');
});

test('one request is denied, one copied and one deleted', async (page) => {
  await enterRequest(page, { user: 'director', password: 'director', purpose: 'Deny me' });
  const denied = await save(page);
  await decide(page, 'athdir', denied, 'Deny');
  check((await text(page)).includes('Denied'), 'the request was not denied');
  check((await text(page)).includes(`Request #${denied} denied`), 'no denied notice');

  await enterRequest(page, { purpose: 'Copy me' });
  const original = await save(page);
  await page.click('input[name=btnSubmit][value=Copy]');
  check(page.dialogs.some((d) => d.includes('copy')), 'no confirm before copying');
  check(await page.inputValue('#PURPOSE') === 'Copy me', 'the copy lost the purpose');
  await setDeparture(page, new Date(Date.now() + 40 * 86400000));
  const copy = await save(page);
  check(copy && copy !== original, 'the copy was not saved as a new request');

  await page.click('input[name=btnSubmit][value=Delete]');
  check(page.dialogs.some((d) => d.includes('Delete')), 'no confirm before deleting');
  check((await text(page)).includes(`Request #${copy} deleted`), 'no deleted notice');
  await openRequest(page, copy);
  check((await text(page)).includes('does not exist any more'), 'the deleted request is still there');
});

test('a field trip search by date range lists the trips of that range', async (page) => {
  await signIn(page, 'transport', 'transport');
  await menu(page, 'View Field Trips');
  const from = new Date(Date.now() - 60 * 86400000), to = new Date();
  const day = (d) => `${d.getMonth() + 1}/${d.getDate()}/${d.getFullYear()}`;
  await page.fill('#DepFrom', day(from));
  await page.fill('#DepTo', day(to));
  await page.click('.actions input[value=Search]');
  const found = Number(await page.innerText('.count strong'));
  check(found > 0, 'no trips found in the last two months');
  check(await page.$$eval('.results-wrap input[type=checkbox]', (boxes) => boxes.every((b) => b.disabled)),
    "a result's yes/no box looks like a control");
});

test('long field trip results are paged in the page, every row still sent', async (page) => {
  await signIn(page, 'transport', 'transport');
  await menu(page, 'View Field Trips');
  await page.click('.actions input[value=Search]');
  const found = Number(await page.innerText('.count strong'));
  check(found > 50, `only ${found} trips: too few to page`);
  const status = '.pager [role=status]';
  const pages = Math.ceil(found / 50);
  check((await page.innerText(status)) === `Page 1 of ${pages}`, 'no pager over the results');
  const shown = () => page.$$eval('.results-wrap tbody tr', (rows) => rows.filter((r) => !r.hidden).length);
  const first = await shown();
  check(first > 0 && first <= 100, `${first} rows shown on the first page`);
  await page.click('.pager button:has-text("Next")');
  check((await page.innerText(status)) === `Page 2 of ${pages}`, 'Next did not turn the page');
  check(await page.$eval('.pager button:has-text("Previous")', (b) => !b.disabled), 'Previous stays off');
});

// The report link of a result list opens the print page in a tab of its own.
async function report(page, layout, summaryBy) {
  const [tab] = await Promise.all([page.waitForEvent('popup'), page.click('a:has-text("Print Report")')]);
  await tab.waitForLoadState();
  await tab.check(`input[name=rb][value="${layout}"]`);
  if (summaryBy) await tab.selectOption('select', summaryBy);
  await Promise.all([tab.waitForNavigation(), tab.click('input[value="Show Report"]')]);
  tab.problems = page.problems;
  return tab;
}

test('a list report pages to its last page', async (page) => {
  await signIn(page, 'transport', 'transport');
  await page.click('form[name=TripRequests] input[value=Search]');
  const tab = await report(page, '1');
  check(await tab.$('#btnNext'), 'the first page has no Next');
  await Promise.all([tab.waitForNavigation(), tab.click('#btnLast')]);
  check(!(await tab.$('#btnNext')), 'the last page still offers Next');
  check((await tab.$$('tbody tr')).length > 0, 'the last page is empty');
});

test('the summary of a field trip search has a row per customer', async (page) => {
  await signIn(page, 'transport', 'transport');
  await menu(page, 'View Field Trips');
  await page.click('.actions input[value=Search]');
  const tab = await report(page, '3', 'Customer');
  check((await tab.$$('tbody tr')).length > 1, 'the summary has no rows');
});

test('the departure date check warns for a date inside the lead time', async (page) => {
  await signIn(page, 'athl', 'request', 'Enter a New Trip Request');
  await setDeparture(page, new Date(Date.now() + 86400000));
  page.dialogs = [];
  page.once('dialog', () => {});
  const allowed = await page.evaluate(() => {
    window.confirm = (m) => { window.lastConfirm = m; return false; };
    return validateDepartureDate();
  });
  check(allowed === false, 'a late departure was not held back');
  check((await page.evaluate(() => window.lastConfirm)).includes('days advance notice'), 'no lead time warning');
});

test('the page checks required fields before posting; Back from a message keeps the typing', async (page) => {
  const closed = fs.readFileSync(process.env.JAUNTER_DEMO_NOTES, 'utf8').match(/(\d+)\/(\d+)\/(\d+) is closed/);
  await signIn(page, 'athl', 'request', 'Enter a New Trip Request');
  await page.click('input[name=btnSubmit][value=Save]');
  const shown = await page.$$eval('.field-error', (all) => all.map((e) => e.textContent));
  for (const message of ['Please enter a valid departure date.', 'Destination is required.',
    'Contact is required.', 'Departure Time is required.', 'Number of students is required.']) {
    check(shown.includes(message), `"${message}" is not shown: ${shown}`);
  }
  check(page.url().endsWith('LoginValidateUser&WCU'), 'the form was posted anyway');
  await page.press('#Contact', 'Enter');
  check(!(await page.$('#DESTDESC')), 'Enter in a text box opened the destination look-up');
  await Promise.all([page.waitForNavigation(), page.selectOption('#dest', { index: 2 })]);
  await page.fill('#PURPOSE', 'Keep me');
  await page.fill('#Contact', 'Ms. Typed');
  await page.fill('#NUMSTUDENTS', '12');
  await page.selectOption('select[name=DEP_HOUR]', '9');
  await page.selectOption('select[name=RET_HOUR]', '2');
  await setDeparture(page, new Date(closed[3], closed[1] - 1, closed[2]));
  await Promise.all([page.waitForNavigation(), page.click('input[name=btnSubmit][value=Save]')]);
  check((await text(page)).includes('DAY CLOSED'), 'no day closed message: ' + (await text(page)).slice(0, 200));
  check(await page.$('.card.message'), 'the message is not in the page shell');
  check(await page.$('meta[name=viewport]'), 'the message page has no viewport');
  await page.goBack();
  check(await page.inputValue('#PURPOSE') === 'Keep me', 'Back lost the purpose');
  check(await page.inputValue('#Contact') === 'Ms. Typed', 'Back lost the contact');
});

test('two minutes before the session ends the form offers to stay signed in', async (page) => {
  await page.clock.install();
  await signIn(page, 'athl', 'request', 'Enter a New Trip Request');
  check(await page.$eval('#tripcat', (s) => [...s.options].some((o) => o.text === 'ATH \u2013 Athletic Event' && o.value === 'ATH')),
    'the trip categories have no descriptions');
  await page.clock.fastForward('18:01');
  await page.waitForSelector('.session-warning', { state: 'visible' });
  const [answer] = await Promise.all([page.waitForResponse(/keep-alive/), page.click('.session-warning button')]);
  check(answer.status() === 204, 'the keep-alive did not find the session');
  await page.waitForSelector('.session-warning', { state: 'hidden' });
});

test('result lists read on a phone and colour statuses by meaning', async (page) => {
  await page.setViewportSize({ width: 390, height: 844 });
  await signIn(page, 'transport', 'transport');
  await page.click('form[name=TripRequests] input[value=Search]');
  check(await page.$eval('.results-wrap', (w) => w.scrollWidth <= w.clientWidth), 'the list scrolls sideways');
  check(await page.$('td.status-accepted') && await page.$('td.status-pending'), 'statuses are not coloured');
});

test('a link opened without a session leads to its page after the sign-in', async (page) => {
  await openRequest(page, 1002);
  check((await text(page)).includes('session has timed out'), 'a request opened without a session');
  await page.click('a[href="jaunter.asp"]');
  await page.fill('#user', 'transport');
  await page.fill('#password', 'transport');
  await Promise.all([page.waitForURL(/WCE=1002/), page.click('input[value="Work With Trip Requests"]')]);
  check(/Request #\s*1002/.test(await text(page)), 'the asked request is not shown after the sign-in');
});

test('an unknown page is a styled page with the way back', async (page) => {
  await page.goto(base + 'Jaunter.ASP?WCI=Nowhere');
  // The console reports the page's own 404; its files were all found.
  page.problems = page.problems.filter((p) => !p.includes('status of 404'));
  check(await page.$('.card.message a[href="/Jaunter.ASP"]'), 'no way back from the error page');
});

// Screenshots of every page, at the top, for people to look at (JAUNTER_SHOTS=DIR).
async function screenshots(browser) {
  fs.mkdirSync(shots, { recursive: true });
  const page = await open(browser);
  const shoot = async (name) => {
    await page.evaluate(() => window.scrollTo(0, 0));
    await page.screenshot({ path: path.join(shots, `${width}-${name}.png`) });
    if (name.endsWith('-found')) {
      await page.$eval('.results-wrap', (list) => list.scrollIntoView());
      await page.screenshot({ path: path.join(shots, `${width}-${name}-list.png`) });
    }
  };
  const go = async (name, action) => {
    await Promise.all([page.waitForNavigation(), action()]);
    await shoot(name);
  };
  await page.goto(base);
  await shoot('sign-in');
  await signIn(page, 'transport', 'transport');
  await go('trip-requests-found', () => page.click('form[name=TripRequests] input[value=Search]'));
  await go('request-stored', () => page.click('a[href*="WCE=1002"]'));
  await page.goto(base + 'Jaunter.ASP?WCI=RequestSearch');
  await go('request-new', () => menu(page, 'Enter New Request'));
  await go('look-up-customer', () => page.click('input[name=btnSubmit][value=Customer]'));
  await go('look-up-customer-found', () => page.click('input[value=Find]'));
  await go('message-required', () => page.goto(base + 'Jaunter.ASP?WCI=RequestDetail&WCE=x&WCU'));
  await go('unknown-page', () => page.goto(base + 'Jaunter.ASP?WCI=Nowhere'));
  await go('field-trips', () => page.goto(base + 'Jaunter.ASP?WCI=TripSearch'));
  await go('field-trips-found', () => page.click('.actions input[value=Search]'));
  const tab = await report(page, '3', 'Customer');
  await tab.screenshot({ path: path.join(shots, `${width}-summary.png`) });
  await page.context().close();
}

(async () => {
  const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium' });
  let failed = 0;
  const only = process.argv[2];
  for (const { name, body } of tests) {
    if (only && !name.includes(only)) continue;
    const page = await open(browser);
    const started = Date.now();
    try {
      await body(page);
      check(page.problems.length === 0, page.problems.join('\n'));
      console.log(`ok   ${name} (${Date.now() - started} ms)`);
    } catch (e) {
      failed++;
      console.log(`FAIL ${name}\n     ${e.message.split('\n').join('\n     ')}\n     at ${page.url()}`);
    }
    await page.context().close();
  }
  if (shots) await screenshots(browser);
  await browser.close();
  const ran = tests.filter(({ name }) => !only || name.includes(only)).length;
  console.log(failed ? `${failed} of ${ran} failed` : `all ${ran} passed`);
  process.exit(failed ? 1 : 0);
})();
