// Drives code-server in headless Chromium: opens the job file named on the command line in the
// workspace the server serves, then either waits for the kestcmd extension's diagnostic of the
// planted mistake and reads it from the editor (a squiggle) and from the Problems panel, or
// (with EXPECTED_TEXT starting with "notification:") waits for a notification holding the rest.
// Saves a screenshot.
//   node in-code-server.js URL JOB_NAME EXPECTED_TEXT SCREENSHOT
const puppeteer = require('puppeteer-core');

async function main() {
  const [url, job, expected, screenshot] = process.argv.slice(2);
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--window-size=1400,900'],
    defaultViewport: { width: 1400, height: 900 },
  });
  const page = await browser.newPage();
  try {
    await page.goto(url, { waitUntil: 'domcontentloaded', timeout: 120000 });
    await page.waitForSelector('.monaco-workbench', { timeout: 120000 });
    await page.waitForSelector('.explorer-folders-view, .explorer-viewlet', { timeout: 60000 });
    // Quick Open: the job by name.
    await page.keyboard.down('Control');
    await page.keyboard.press('KeyP');
    await page.keyboard.up('Control');
    await page.waitForSelector('.quick-input-widget input', { visible: true, timeout: 30000 });
    await page.keyboard.type(job, { delay: 20 });
    await page.waitForFunction(
      (name) => [...document.querySelectorAll('.quick-input-list .monaco-list-row')]
        .some((row) => row.textContent.includes(name)), { timeout: 60000 }, job);
    await page.keyboard.press('Enter');
    if (expected.startsWith('notification:')) {
      const text = expected.slice('notification:'.length);
      await page.waitForFunction(
        (wanted) => [...document.querySelectorAll('.notification-list-item-message')]
          .some((note) => note.textContent.includes(wanted)), { timeout: 120000 }, text);
      const notes = await page.$$eval('.notification-list-item-message', (all) => all.map((n) => n.textContent));
      await page.screenshot({ path: screenshot });
      console.log(`notifications: ${notes.join(' | ')}`);
      return;
    }
    await page.waitForSelector('.squiggly-warning, .squiggly-error', { timeout: 120000 });
    await page.keyboard.down('Control');
    await page.keyboard.down('Shift');
    await page.keyboard.press('KeyM');
    await page.keyboard.up('Shift');
    await page.keyboard.up('Control');
    await page.waitForSelector('.markers-panel .monaco-list-row', { timeout: 30000 });
    const rows = await page.$$eval('.markers-panel .monaco-list-row', (all) => all.map((r) => r.textContent));
    const status = await page.$$eval('.statusbar-item', (all) => all.map((r) => r.textContent.trim()));
    await page.screenshot({ path: screenshot });
    console.log(`status bar: ${status.filter(Boolean).join(' | ')}`);
    console.log(`problems: ${rows.join(' || ')}`);
    if (!rows.some((row) => row.includes(expected))) throw new Error(`no problem says "${expected}"`);
    if (!status.includes('Job file')) throw new Error('the status bar does not name the language');
  } catch (failure) {
    // What the page showed instead: its notifications, and a screenshot.
    const notes = await page.$$eval('.notification-list-item-message', (all) => all.map((n) => n.textContent));
    await page.screenshot({ path: screenshot });
    throw new Error(`${failure.message}; notifications: ${notes.join(' | ') || 'none'}`);
  } finally {
    await browser.close();
  }
}

main().then(() => console.log(`code-server: the page shows "${process.argv[4]}"`),
            (failure) => { console.error(`code-server: ${failure.message}`); process.exit(1); });
