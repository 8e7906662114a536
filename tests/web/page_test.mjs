// The game's page in a real browser: Debian's chromium, headless, driven through puppeteer-core,
// loads the page from scripts/web_serve.py and plays as a player would. The game asks its
// full-screen question in the canvas before any sound may start; Y answers it and the game area
// goes full screen, F11 leaves it, the page's button switches it on again and the game knows, so
// that F11 leaves it once more; the sound runs after that first key; F12 downloads the picture
// as a PNG file; Enter goes from the menu to the controls screen and into the race; with Up held
// the race picture moves from frame to frame and the game keeps the display's pace. Then the page
// is loaded with a track code in its address (index.html?track=CODE): its menu, in a game area
// that takes the 640 x 480 frame, with the arrow on its last setting, is pixel for pixel the
// native vantor-run's for that code (the settings the code holds were taken).
//
// Usage: node page_test.mjs WEB_BUILD SERVER TOOLS CHROMIUM WORK CODE MENU
//   WEB_BUILD the browser build (index.html and the rest), SERVER scripts/web_serve.py, TOOLS the
//   folder whose node_modules holds puppeteer-core, CHROMIUM the browser, WORK this run's own
//   folder: it receives the downloads, and on failure the pictures of every step and the page's
//   console; it is removed when the test passes. CODE a track code, MENU the native vantor-run's
//   shot of the menu set to it (a 24-bit BMP file; the tool leaves the arrow on the last row).
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import path from 'node:path';
import readline from 'node:readline';

const [webBuild, serverScript, tools, chromium, work, code, menuShot] = process.argv.slice(2);
const puppeteer = createRequire(path.resolve(tools, 'package.json'))('puppeteer-core');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const steps = [];
const consoleLines = [];

function check(condition, what) {
    if (!condition) {
        throw new Error(what);
    }
    console.log('ok: ' + what);
}

// The page's server on a free port; resolves to its address once it listens.
function startServer() {
    const server = spawn('python3', [serverScript, webBuild, '0'],
                         { stdio: ['ignore', 'pipe', 'inherit'] });
    const address = new Promise((resolve, reject) => {
        readline.createInterface({ input: server.stdout }).on('line', (line) => {
            const found = line.match(/at (http:\/\/\S+)/);
            if (found) {
                resolve(found[1]);
            }
        });
        server.on('exit', (code) => reject(new Error('the server ended with ' + code)));
    });
    return { server, address };
}

// The value of a JavaScript expression in the page, read without lending the page a user
// gesture (puppeteer's own evaluate lends one, and with it the page could start its sound or go
// full screen without the player).
async function read(cdp, expression) {
    const { result, exceptionDetails } = await cdp.send('Runtime.evaluate', {
        expression,
        returnByValue: true,
        awaitPromise: true,
        userGesture: false,
    });
    if (exceptionDetails) {
        throw new Error(`${expression}: ${exceptionDetails.text}`);
    }
    return result.value;
}

// Waits until `expression` is true in the page.
async function waitFor(cdp, expression, milliseconds, what) {
    const deadline = Date.now() + milliseconds;
    while (!(await read(cdp, expression))) {
        if (Date.now() > deadline) {
            throw new Error(`${what}: not within ${milliseconds} ms`);
        }
        await sleep(50);
    }
    console.log('ok: ' + what);
}

// The canvas's picture as a PNG data URL, kept as a step for the failure report.
async function canvasPicture(cdp, step) {
    const picture = await read(cdp, "document.getElementById('canvas').toDataURL()");
    steps.push({ step, picture });
    return picture;
}

const framesShown = (cdp) => read(cdp, 'Module.vantorTiming.frameWork.length');
const soundState = (cdp) =>
    read(cdp, "Module.vantorSound ? Module.vantorSound.context.state : 'none'");

async function play(page, cdp, address) {
    await page.goto(address);
    await waitFor(cdp, 'window.Module && Module.vantorTiming && Module.vantorTiming.firstFrameAt',
                  30000, 'the page shows its first frame');
    await sleep(300);
    const question = await canvasPicture(cdp, 'question');
    const sound = await soundState(cdp);
    check(sound == 'suspended', `the sound waits for the first key (it is ${sound})`);

    await page.keyboard.press('KeyY');
    await waitFor(cdp, "document.fullscreenElement && document.fullscreenElement.id == 'game'",
                  5000, 'Y answers the question: the game area goes full screen');
    await waitFor(cdp, "Module.vantorSound.context.state == 'running'", 5000,
                  'the sound runs after the first key');
    await sleep(500);
    const menu = await canvasPicture(cdp, 'menu');
    check(menu != question, 'the menu follows the question');

    await page.keyboard.press('F11');
    await waitFor(cdp, '!document.fullscreenElement', 5000, 'F11 leaves full screen');
    await page.click('#fullscreen');
    await waitFor(cdp, 'document.fullscreenElement', 5000, "the page's button switches it on");
    await sleep(200);
    await page.keyboard.press('F11');
    await waitFor(cdp, '!document.fullscreenElement', 5000,
                  'the game knew of it: F11 then leaves full screen');

    await page.keyboard.press('F12');
    const deadline = Date.now() + 5000;
    let kept = [];
    while (Date.now() < deadline && kept.length == 0) {
        await sleep(100);
        kept = fs.readdirSync(work).filter((name) => /^vantor-.*\.png$/.test(name));
    }
    check(kept.length == 1, 'F12 downloads the picture as vantor-DATE_TIME.png');
    const signature = fs.readFileSync(path.join(work, kept[0])).subarray(0, 8);
    check(signature.equals(Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a])),
          'the downloaded picture is a PNG file');

    await page.keyboard.press('Enter');
    await sleep(500);
    const controls = await canvasPicture(cdp, 'controls');
    check(controls != menu, 'Enter on the menu shows the controls screen');

    await page.keyboard.press('Enter');
    await page.keyboard.down('ArrowUp');
    // The countdown takes three seconds; then the car moves.
    await sleep(4500);
    const before = await framesShown(cdp);
    const first = await canvasPicture(cdp, 'race');
    await sleep(1000);
    const second = await canvasPicture(cdp, 'race a second later');
    const shown = (await framesShown(cdp)) - before;
    await page.keyboard.up('ArrowUp');
    check(first != controls && second != first, 'with Up held the race picture moves');
    check(shown >= 20, `the game kept the display's pace (${shown} frames in a second)`);
}

// The pixels of an uncompressed 24-bit BMP file as bytes R, G, B, A, top row first.
function bmpPixels(file) {
    const bytes = fs.readFileSync(file);
    const start = bytes.readUInt32LE(10);
    const width = bytes.readInt32LE(18);
    const height = bytes.readInt32LE(22);
    const stride = Math.ceil((width * 3) / 4) * 4;
    const rgba = Buffer.alloc(width * Math.abs(height) * 4);
    for (let y = 0; y < Math.abs(height); ++y) {
        const row = start + (height > 0 ? Math.abs(height) - 1 - y : y) * stride;
        for (let x = 0; x < width; ++x) {
            const at = (y * width + x) * 4;
            rgba[at] = bytes[row + x * 3 + 2];
            rgba[at + 1] = bytes[row + x * 3 + 1];
            rgba[at + 2] = bytes[row + x * 3];
            rgba[at + 3] = 255;
        }
    }
    return { width, height: Math.abs(height), rgba };
}

// The canvas's pixels as bytes R, G, B, A, top row first.
async function canvasPixels(cdp) {
    const [width, height, base64] = await read(cdp, `(() => {
        const canvas = document.getElementById('canvas');
        const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        let text = '';
        for (let at = 0; at < data.length; at += 0x8000) {
            text += String.fromCharCode.apply(null, data.subarray(at, at + 0x8000));
        }
        return [canvas.width, canvas.height, btoa(text)];
    })()`);
    return { width, height, rgba: Buffer.from(base64, 'base64') };
}

// A page 900 pixels wide leaves a game area narrower than 4:3 under the line of help, where the
// game draws the 640 x 480 frame, as vantor-run does by default.
async function trackFromAddress(page, cdp, address) {
    await page.setViewport({ width: 900, height: 760 });
    await page.goto(address + '?track=' + code);
    await waitFor(cdp, 'window.Module && Module.vantorTiming && Module.vantorTiming.firstFrameAt',
                  30000, 'the page with a track code in its address shows its first frame');
    await sleep(300);
    await page.keyboard.press('KeyN');
    await sleep(500);
    for (let row = 0; row < 5; ++row) {
        await page.keyboard.press('ArrowDown');
        await sleep(100);
    }
    await sleep(300);
    await canvasPicture(cdp, 'menu of the track code');
    const shown = await canvasPixels(cdp);
    const native = bmpPixels(menuShot);
    check(shown.width == native.width && shown.height == native.height,
          `the menu is ${native.width} x ${native.height} (${shown.width} x ${shown.height})`);
    check(shown.rgba.equals(native.rgba), `the menu holds the settings of track code ${code}`);
}

const { server, address } = startServer();
let browser;
let passed = false;
try {
    browser = await puppeteer.launch({
        executablePath: chromium,
        headless: true,
        // As a desktop browser does: the page's sound waits for the player's first key or click.
        args: ['--no-sandbox', '--window-size=1000,760',
               '--autoplay-policy=document-user-activation-required'],
    });
    const page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 760 });
    page.on('console', (message) => consoleLines.push(message.type() + ': ' + message.text()));
    page.on('pageerror', (error) => consoleLines.push('page error: ' + error.message));
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: work });
    await play(page, cdp, await address);
    await trackFromAddress(page, cdp, await address);
    passed = true;
} catch (error) {
    console.error('FAILED: ' + error.message);
} finally {
    if (browser) {
        await browser.close();
    }
    server.kill();
}

if (passed) {
    fs.rmSync(work, { recursive: true, force: true });
    console.log('The page played menu, controls and race in chromium, and took a track code.');
} else {
    steps.forEach(({ step, picture }, index) => {
        const file = path.join(work, `${index + 1}-${step.replaceAll(' ', '-')}.png`);
        fs.writeFileSync(file, Buffer.from(picture.split(',')[1], 'base64'));
    });
    fs.writeFileSync(path.join(work, 'console.txt'), consoleLines.join('\n') + '\n');
    console.error('The pictures of each step and the page\'s console are in ' + work);
    process.exitCode = 1;
}
