// The game's page in Debian's chromium, timed by the page itself (bench/web_bench.sh runs it
// beside the native race benchmark). Each round loads the page afresh, answers the question, goes
// from the menu (set to the track the address names) through the controls screen into the race,
// holds Up from the grid and keeps the page's own times of the first 2400 race frames (the work
// of each frame, from the game's resuming after a display frame to its present); the page's clock
// at its first frame says when it was ready to play.
//
// Usage: node web_bench.mjs ADDRESS TOOLS CHROMIUM ROUNDS
//   ADDRESS the served page (with ?track=CODE, the track it races), TOOLS the folder whose
//   node_modules holds puppeteer-core. Prints one line of JSON:
//   {"frames": [ms...], "ready": [ms per round]}.
import { createRequire } from 'node:module';
import path from 'node:path';

const [address, tools, chromium, rounds] = process.argv.slice(2);
const puppeteer = createRequire(path.resolve(tools, 'package.json'))('puppeteer-core');
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const raceFrames = 2400;

const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    // A page 900 wide leaves a game area narrower than 4:3 under the line of help: the game draws
    // the 640 x 480 frame the native side draws, not a wider view.
    args: ['--no-sandbox', '--window-size=900,760'],
});
const result = { frames: [], ready: [] };
try {
    const page = await browser.newPage();
    await page.setViewport({ width: 900, height: 760 });
    for (let round = 0; round < Number(rounds); ++round) {
        await page.goto(address);
        await page.waitForFunction(() => window.Module && Module.vantorTiming &&
                                         Module.vantorTiming.firstFrameAt > 0, { timeout: 30000 });
        result.ready.push(await page.evaluate(() => Module.vantorTiming.firstFrameAt));
        await sleep(300);
        await page.keyboard.press('KeyN');
        await sleep(500);
        await page.keyboard.press('Enter');
        await sleep(500);
        await page.keyboard.press('Enter');
        await sleep(300);
        await page.evaluate(() => { Module.vantorTiming.frameWork.length = 0; });
        await page.keyboard.down('ArrowUp');
        await page.waitForFunction((count) => Module.vantorTiming.frameWork.length >= count,
                                   { timeout: 120000, polling: 500 }, raceFrames);
        await page.keyboard.up('ArrowUp');
        const frames = await page.evaluate(
            (count) => Module.vantorTiming.frameWork.slice(0, count), raceFrames);
        result.frames.push(...frames);
    }
} finally {
    await browser.close();
}
console.log(JSON.stringify(result));
