// Drives code-server in headless Chromium: opens the job file named on the command line in the
// workspace the server serves, waits for the kestcmd extension's diagnostic of the planted
// mistake and reads it from the editor (a squiggle) and from the Problems panel. Saves a
// screenshot beside the job.
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
  try {
    const page = await browser.newPage();
    await page.goto(url, { waitUntil: 'domcontentloaded', timeout: 120000 });
    await page.waitForSelector('.monaco-workbench', { timeout: 120000 });
    await page.waitForSelector('.explorer-folders-view, .explorer-viewlet', { timeout: 60000 });
    // Quick Open: the job by name.
    await page.keyboard.down('Control');
    await page.keyboard.press('KeyP');
    await page.keyboard.up('Control');
    await page.waitForSelector('.quick-input-widget input', { visible: true, timeout: 30000 });
    await page.keyboard.type(job, { delay: 20 });
    await new Promise((done) => setTimeout(done, 1500));
    await page.keyboard.press('Enter');
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
  } finally {
    await browser.close();
  }
}

main().then(() => console.log('code-server: the extension reports the planted mistake'),
            (failure) => { console.error(`code-server: ${failure.message}`); process.exit(1); });
