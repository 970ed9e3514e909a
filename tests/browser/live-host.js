// The live page host: the built pages served to the test browser, their
// window.external.RUVSysCall answered by the bridge's own dispatch rules
// (live-dispatch, built from the host's sources) and every started worker
// run by the real engine under Wine (engine-run in a staged prefix). The
// engine's lines ("code<TAB>second", GBK) are decoded here and handed to the
// page one at a time, in the engine's order, addressed to the frame and
// function that ScriptFunction names. The worker counts as ended, and the
// dispatch's Busy goes back to 0, once the engine has exited and the page
// has taken its last result.
"use strict";
var childProcess = require("child_process");
var readline = require("readline");
var fs = require("fs");
var path = require("path");
var url = require("url");
var server = require("./server");

var GBK = new TextDecoder("gbk");
var POLL_MS = 15000;
var EXIT_DRAIN_MS = 300;   // a parked request for the next result is answered empty after this

// Lines of engine output as (code, second), decoded from GBK; a line that is
// still incomplete stays in the buffer.
function EngineLines() {
    this.pending = Buffer.alloc(0);
}
EngineLines.prototype.push = function (chunk) {
    var out = [], nl, raw, text, tab;
    this.pending = Buffer.concat([this.pending, chunk]);
    while ((nl = this.pending.indexOf(0x0a)) >= 0) {
        raw = this.pending.subarray(0, nl);
        this.pending = this.pending.subarray(nl + 1);
        if (raw.length && raw[raw.length - 1] === 0x0d) raw = raw.subarray(0, raw.length - 1);
        text = GBK.decode(raw);
        tab = text.indexOf("\t");
        out.push(tab < 0 ? [text, ""] : [text.slice(0, tab), text.slice(tab + 1)]);
    }
    return out;
};

// The dispatch program: one request line out, one answer line back, in turn.
function Dispatch(exe) {
    var self = this;
    this.waiting = [];
    this.proc = childProcess.spawn(exe, [], { stdio: ["pipe", "pipe", "inherit"] });
    this.proc.on("error", function (e) { self.fault = e; self.flush(); });
    this.proc.on("exit", function (code) { self.fault = new Error("live-dispatch exited " + code); self.flush(); });
    readline.createInterface({ input: this.proc.stdout }).on("line", function (line) {
        var w = self.waiting.shift();
        if (w) w.resolve(line);
    });
}
Dispatch.prototype.flush = function () {
    var w;
    while ((w = this.waiting.shift())) w.reject(this.fault);
};
Dispatch.prototype.request = function (line) {
    var self = this;
    return new Promise(function (resolve, reject) {
        if (self.fault) return reject(self.fault);
        self.waiting.push({ resolve: resolve, reject: reject });
        self.proc.stdin.write(line + "\n");
    });
};
Dispatch.prototype.call = function (kind, value, args) {
    var argText = typeof args === "string" ? "x" + Buffer.from(args, "utf8").toString("hex") : "-";
    return this.request(["call", kind, value, argText].join(" ")).then(function (line) {
        var f = line.split("\t");
        if (f.length !== 10) throw new Error("live-dispatch: " + line);
        return { answered: f[0] === "1", started: f[1] === "1", emptiedLog: f[2] === "1", text: f[3],
            command: +f[4], notFirstRun: +f[5], busy: +f[6], scriptFunction: f[7],
            frames: f[8] ? f[8].split(",") : [], fn: f[9] };
    });
};
Dispatch.prototype.ended = function () {
    return this.request("ended");
};
Dispatch.prototype.close = function () {
    this.proc.stdin.end();
};

// opts: pages (built page folder), prefix (staged Wine prefix), dispatch
// (live-dispatch program), vendor (1 or 2), wine (the loader, "wine" unless
// given), env (added to the engine's).
function LiveHost(opts) {
    this.opts = opts;
    this.calls = [];     // every RUVSysCall with its answer
    this.runs = [];      // every engine run: command, lines, exit status
    this.results = [];   // every result in delivery order
    this.delivered = 0;  // results the page has taken
    this.parked = [];
    this.idleWaiters = [];
    this.hold = false;
}

LiveHost.prototype.start = async function () {
    var self = this;
    this.engineLog = path.join(this.opts.prefix, "drive_c", "windows", "engine-run.log");
    this.wineEnv = Object.assign({}, process.env, { WINEPREFIX: this.opts.prefix }, this.opts.env || {});
    // One wineserver for the whole session, so each engine start is short.
    childProcess.spawnSync("wineserver", ["-p"], { env: this.wineEnv, stdio: "ignore" });
    this.dispatch = new Dispatch(this.opts.dispatch);
    this.server = await server.start(this.opts.pages, 0, function (req, res) { return self.route(req, res); });
    this.base = "http://127.0.0.1:" + this.server.address().port + "/";
    // The engine takes its test overrides from the machine's registry only.
    var probe = this.base + "__live/probe";
    childProcess.spawnSync(this.opts.wine || "wine", ["reg", "add", "HKLM\\Software\\Orvane_Assistant\\TestHooks",
        "/v", "ORVANE_PROBE_URL", "/d", probe, "/f"], { env: this.wineEnv, stdio: "ignore" });
    return this;
};

LiveHost.prototype.stop = async function () {
    var self = this;
    this.parked.forEach(function (res) { res.end("{}"); });
    this.parked = [];
    this.dispatch.close();
    await new Promise(function (r) { self.server.close(r); if (self.server.closeAllConnections) self.server.closeAllConnections(); });
    childProcess.spawnSync("wineserver", ["-k"], { env: this.wineEnv, stdio: "ignore" });
};

LiveHost.prototype.route = function (req, res) {
    var u = url.parse(req.url, true), self = this;
    if (u.pathname === "/__live/probe") {
        res.writeHead(200, { "Content-Type": "text/plain" });
        res.end("ok\n");
        return true;
    }
    if (u.pathname === "/__live/call" && req.method === "POST") {
        var body = [];
        req.on("data", function (c) { body.push(c); });
        req.on("end", function () {
            self.onCall(Buffer.concat(body).toString("utf8")).then(function (answer) {
                res.writeHead(200, { "Content-Type": "application/json", "Cache-Control": "no-store" });
                res.end(JSON.stringify(answer));
            }, function (e) {
                res.writeHead(500, { "Content-Type": "text/plain" });
                res.end(String(e && e.message || e));
            });
        });
        return true;
    }
    if (u.pathname === "/__live/next") {
        if (u.query.ack !== undefined && +u.query.ack === this.delivered) {
            this.delivered++;
            this.checkEnded();
        }
        res.writeHead(200, { "Content-Type": "application/json", "Cache-Control": "no-store" });
        if (!this.hold && this.delivered < this.results.length) {
            res.end(JSON.stringify(this.results[this.delivered]));
        } else {
            this.park(res);
        }
        return true;
    }
    return false;
};

LiveHost.prototype.park = function (res) {
    var self = this;
    this.parked.push(res);
    var timer = setTimeout(function () {
        var i = self.parked.indexOf(res);
        if (i >= 0) {
            self.parked.splice(i, 1);
            res.end("{}");
        }
    }, POLL_MS);
    res.on("close", function () {
        clearTimeout(timer);
        var i = self.parked.indexOf(res);
        if (i >= 0) self.parked.splice(i, 1);
    });
};

LiveHost.prototype.wake = function () {
    if (this.hold || this.delivered >= this.results.length) return;
    var item = JSON.stringify(this.results[this.delivered]), list = this.parked;
    this.parked = [];
    list.forEach(function (res) { res.end(item); });
};

LiveHost.prototype.setHold = function (on) {
    this.hold = !!on;
    this.wake();
};

LiveHost.prototype.onCall = async function (text) {
    var req = JSON.parse(text);
    var answer = await this.dispatch.call(req.kind, req.value, req.args);
    this.calls.push({ kind: req.kind, value: req.value, args: req.args, answer: answer });
    if (answer.emptiedLog) {
        try {
            fs.truncateSync(this.engineLog, 0);
        } catch (e) {
            // no log yet: nothing to empty
        }
    }
    if (answer.started) this.startEngine(answer, req.args);
    return { answered: answer.answered, text: answer.text };
};

// The worker: engine-run with the command, the page's string and the vendor.
LiveHost.prototype.startEngine = function (answer, args) {
    var self = this, lines = new EngineLines(), err = [];
    var run = { command: answer.command, args: typeof args === "string" ? args : "", vendor: this.opts.vendor || 1,
        lines: [], exit: null, stderr: "", done: false, to: answer.scriptFunction };
    this.runs.push(run);
    this.current = run;
    var proc = childProcess.spawn(this.opts.wine || "wine", ["engine-run", String(run.command), run.args, String(run.vendor)],
        { env: this.wineEnv, stdio: ["ignore", "pipe", "pipe"] });
    proc.stdout.on("data", function (chunk) {
        lines.push(chunk).forEach(function (pair) {
            run.lines.push(pair);
            self.results.push({ seq: self.results.length, code: pair[0], second: pair[1],
                frames: answer.frames, fn: answer.fn });
        });
        self.wake();
    });
    proc.stderr.on("data", function (c) { err.push(c); });
    var finished = function (code) {
        if (run.exit !== null) return;
        run.exit = code;
        run.stderr = GBK.decode(Buffer.concat(err)).replace(/\r/g, "");
        self.checkEnded();
    };
    proc.on("error", function (e) { err.push(Buffer.from(String(e.message))); finished(-1); });
    // Wine's own processes may keep the pipes open after the engine has
    // gone, so the run ends at the engine's exit, once what it had already
    // written has been read.
    proc.on("exit", function (code) {
        setTimeout(function () {
            proc.stdout.destroy();
            proc.stderr.destroy();
            finished(code === null ? -1 : code);
        }, EXIT_DRAIN_MS);
    });
};

// The worker ends when its last result has been handed over.
LiveHost.prototype.checkEnded = function () {
    var run = this.current, self = this;
    if (!run || run.done || run.exit === null || this.delivered < this.results.length) return;
    run.done = true;
    this.current = null;
    this.dispatch.ended().then(function () {
        var w = self.idleWaiters;
        self.idleWaiters = [];
        w.forEach(function (f) { f(); });
    });
};

// Resolves with engine run number index (0 for the first) once it has ended.
LiveHost.prototype.waitRun = function (index, timeoutMs) {
    var self = this;
    return new Promise(function (resolve, reject) {
        var timer, settled = false;
        function check() {
            var run = self.runs[index];
            if (settled) return true;
            if (!run || !run.done) return false;
            settled = true;
            clearTimeout(timer);
            resolve(run);
            return true;
        }
        if (check()) return;
        timer = setTimeout(function () {
            settled = true;
            reject(new Error("engine run " + index + " did not end within " + timeoutMs + " ms"));
        }, timeoutMs);
        self.idleWaiters.push(function again() {
            if (!check()) self.idleWaiters.push(again);
        });
    });
};

module.exports = { LiveHost: LiveHost, EngineLines: EngineLines, Dispatch: Dispatch };
