// The page's side of the web backend, run before the game starts (linked with --pre-js): the
// picture packs in the file system, the track the page's address names, and the page's own timing
// of the game's frames.

// The pictures: gfx.tar (drawing scale 1) is fetched before the game starts; gfx-2x.tar to
// gfx-4x.tar when the game first asks for their scale (web_present.cpp). Each pack is a tar file
// of the picture folders, unpacked into the file system where the game looks for them (/gfx,
// /gfx-2x, ...). The server sends them compressed to browsers that accept it.
Module.vantorPictures = {
    state: {}, // by scale: 'fetching', 'here' or 'failed'

    fetch(scale) {
        const pack = scale == 1 ? 'gfx.tar' : 'gfx-' + scale + 'x.tar';
        this.state[scale] = 'fetching';
        return fetch(pack)
            .then((response) => {
                if (!response.ok) {
                    throw new Error(response.status + ' ' + response.statusText);
                }
                return response.arrayBuffer();
            })
            .then((tar) => {
                unpackPictures(new Uint8Array(tar));
                this.state[scale] = 'here';
            })
            .catch((error) => {
                this.state[scale] = 'failed';
                err('The pictures of drawing scale ' + scale + ' (' + pack + ') could not be ' +
                    'fetched: ' + error.message);
            });
    },

    // Whether the pictures of `scale` are here; `fetchNow` fetches them when they are neither
    // here nor on their way (a failed fetch is not tried again).
    here(scale, fetchNow) {
        if (!this.state[scale] && fetchNow) {
            this.fetch(scale);
        }
        return this.state[scale] == 'here';
    },
};

// Writes every file of a tar archive (ustar: 512-byte headers, contents padded to 512 bytes)
// into the file system under '/', making its folders.
function unpackPictures(bytes) {
    const text = new TextDecoder();
    for (let at = 0; at + 512 <= bytes.length && bytes[at] != 0;) {
        const field = (start, length) => {
            const raw = bytes.subarray(at + start, at + start + length);
            const end = raw.indexOf(0);
            return text.decode(end < 0 ? raw : raw.subarray(0, end));
        };
        const name = field(0, 100);
        const prefix = field(345, 155);
        const size = parseInt(field(124, 12).trim() || '0', 8);
        const type = bytes[at + 156];
        const path = '/' + (prefix ? prefix + '/' : '') + name.replace(/\/$/, '');
        at += 512;
        if (type == 0x35) { // '5': a folder
            FS.mkdirTree(path);
        } else if (type == 0x30 || type == 0) { // '0': a file
            FS.mkdirTree(path.substring(0, path.lastIndexOf('/')) || '/');
            FS.writeFile(path, bytes.subarray(at, at + size));
        }
        at += Math.ceil(size / 512) * 512;
    }
}

// The page's address may name a track to start with, as `vantor --track CODE` does on the
// desktop: index.html?track=CODE.
Module.arguments = (() => {
    const code = new URLSearchParams(window.location.search).get('track');
    return code ? ['--track', code] : [];
})();

Module.preRun = [].concat(Module.preRun || [], () => {
    addRunDependency('pictures');
    Module.vantorPictures.fetch(1).then(() => removeRunDependency('pictures'));
});

// The page's parts the backend uses at every frame, found once when the game opens its window: the
// game area and its size in device pixels (CSS pixels times devicePixelRatio, kept up to date by
// a ResizeObserver: the window resized, full screen, the page zoomed), the canvas and its 2D
// context.
Module.vantorPage = {
    area: null,
    canvas: null,
    context: null,
    width: 0,
    height: 0,
    readingsAt: 0, // where the game keeps its readings of the page (WebBackend::PageReadings)

    // Writes what the game reads of the page at every frame into its memory: the game area's
    // size in device pixels and whether the sound runs.
    writeReadings() {
        if (this.readingsAt) {
            const sound = Module.vantorSound;
            HEAP32[this.readingsAt >> 2] = this.width;
            HEAP32[(this.readingsAt >> 2) + 1] = this.height;
            HEAP32[(this.readingsAt >> 2) + 2] = sound && sound.context.state == 'running' ? 1 : 0;
        }
    },

    open(readingsAt) {
        this.area = document.getElementById('game');
        this.canvas = document.getElementById('canvas');
        this.context = this.canvas.getContext('2d', { alpha: false });
        this.readingsAt = readingsAt;
        const measure = () => {
            const ratio = window.devicePixelRatio || 1;
            this.width = Math.floor(this.area.clientWidth * ratio);
            this.height = Math.floor(this.area.clientHeight * ratio);
        };
        measure();
        this.writeReadings();
        const observer = new ResizeObserver((entries) => {
            const exact = entries[entries.length - 1].devicePixelContentBoxSize;
            if (exact) {
                this.width = exact[0].inlineSize;
                this.height = exact[0].blockSize;
            } else {
                measure();
            }
            this.writeReadings();
        });
        try {
            observer.observe(this.area, { box: 'device-pixel-content-box' });
        } catch (error) {
            observer.observe(this.area); // browsers that count no device pixels
        }
    },
};

// The page's own timing, read by the benchmarks: `frameWork` holds the milliseconds of each
// frame's work (from the game's resuming after a display frame to its next present: events,
// the screen's or the race's step and drawing), `firstFrameAt` the page's clock at the first
// present (milliseconds since the page began to load: the page is ready to play).
Module.vantorTiming = {
    firstFrameAt: 0,
    frameWork: [],
    started: 0,

    workStarts() {
        this.started = performance.now();
    },

    workDone() {
        const now = performance.now();
        if (!this.firstFrameAt) {
            this.firstFrameAt = now;
        } else if (this.started && this.frameWork.length < 1000000) {
            this.frameWork.push(now - this.started);
        }
        this.started = 0;
    },
};
