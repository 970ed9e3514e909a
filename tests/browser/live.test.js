// The pages on the live host: the real engine under Wine answers the start
// page's full check and a repair (its question answered No by the harness),
// and the pages must end on summaries that list exactly what the engine
// reported, in its order.
// usage: node live.test.js PAGES_DIR SHOT_DIR PREFIX LIVE_DISPATCH
"use strict";
var path = require("path");
var fs = require("fs");
var os = require("os");
var lib = require("./lib");
var live = require("./live-host");
var LiveHost = live.LiveHost;
var installLiveExternal = require("./live-external").installLiveExternal;

var PAGES = path.resolve(process.argv[2] || "build/pages");
var SHOTS = path.resolve(process.argv[3] || "out/screenshots/browser");
var PREFIX = path.resolve(process.argv[4] || "");
var DISPATCH = path.resolve(process.argv[5] || "build/host/bin/live-dispatch");
var RUN_MS = 120000;

function fail(msg) {
    throw new Error(msg);
}
function ok(cond, msg) {
    if (!cond) fail(msg);
}
function eq(actual, expected, msg) {
    var a = JSON.stringify(actual), e = JSON.stringify(expected);
    if (a !== e) fail(msg + ": expected " + e + ", got " + a);
}

// The summary as the page shows it: group titles and their lines.
async function summaryOf(f) {
    return f.evaluate(function () {
        var groups = [], g = document.querySelectorAll("#summary .resultGroup"), i, j, lis, lines;
        for (i = 0; i < g.length; i++) {
            lis = g[i].querySelectorAll("li");
            lines = [];
            for (j = 0; j < lis.length; j++) lines.push(lis[j].innerText.replace(/\u00a0/g, " "));
            groups.push({ title: (g[i].querySelector(".groupTitle") || { innerText: "" }).innerText, lines: lines });
        }
        return groups;
    });
}

// What the summary must list for these engine results, from the page's own
// catalogue: a heading opens a group, every other code is a line.
async function expectedSummary(f, results, repair) {
    return f.evaluate(function (a) {
        var groups = [], cur = null, i, code, e, text;
        var headings = ["TITLE_RG", "TITLE_IE", "TITLE_CT", "TITLE_WS", "TITLE_RC", "TITLE_MW", "TITLE_UK", "TITLE_CS", "TITLE_CE"];
        for (i = 0; i < a.results.length; i++) {
            if (a.results[i][1] === "0") continue;
            code = a.results[i][0].toUpperCase();
            e = errList[code];
            if (headings.indexOf(code) >= 0) {
                cur = { title: a.repair ? e.errmsg.replace(/检测/g, "修复") : e.errmsg, lines: [] };
                groups.push(cur);
                continue;
            }
            if (!cur) groups.push(cur = { title: "", lines: [] });
            text = code === "OS0" ? a.results[i][1] : e.errmsg;
            cur.lines.push(text + (e.fmt ? " （" + e.fmt + "）" : ""));
        }
        return groups;
    }, { results: results, repair: !!repair });
}

async function tipText(t) {
    return t.page.evaluate(function () { return document.getElementById("topInfo4").innerText; });
}

async function waitSummary(f) {
    await f.waitForFunction(function () {
        var s = document.getElementById("summary");
        return s && s.style.display !== "none" && s.innerHTML !== "";
    }, null, { timeout: 15000 });
}

var H, LIVE, T, skipped = [];

var TESTS = [
    ["engine output: GBK lines cut anywhere by the pipe are read whole", async function () {
        var r = new live.EngineLines(), line = Buffer.concat([Buffer.from("OS0\t"), Buffer.from([0xb2, 0xd9, 0xd7, 0xf7]),
            Buffer.from(":x\r\nWEB1\t30\nTITLE_IE\t0\nodd\n")]), got = [], i;
        for (i = 0; i < line.length; i += 5) got = got.concat(r.push(line.subarray(i, i + 5)));
        eq(got, [["OS0", "操作:x"], ["WEB1", "30"], ["TITLE_IE", "0"], ["odd", ""]], "lines");
    }],
    ["dispatch: the bridge's answers, routes and Busy rule over the host's protocol", async function () {
        var d = new live.Dispatch(DISPATCH), a = [];
        try {
            a.push(await d.call("double", "2.9", "NX"));
            a.push(await d.call("int", "10", "NXCT"));   // busy: refused, nothing starts, nothing changes
            await d.ended();
            a.push(await d.call("int", "10", "NXKEY"));
            await d.ended();
            a.push(await d.call("int", "10", "nxkey"));
            await d.ended();
            a.push(await d.call("int", "7", "NX"));
            await d.ended();
            a.push(await d.call("int", "4", null));      // not a string: not well formed
            a.push(await d.call("int", "4", ""));
        } finally {
            d.close();
        }
        eq(a.map(function (x) { return [x.text, x.started, x.command, x.notFirstRun, x.scriptFunction, x.frames, x.fn, x.emptiedLog]; }), [
            ["", true, 2, 0, "mainframe2.addResult", ["mainframe2"], "addResult", false],
            ["BUSY", false, 2, 0, "mainframe2.addResult", ["mainframe2"], "addResult", false],
            ["", true, 10, 1, "mainframe1.addResult", ["mainframe1"], "addResult", false],
            ["", true, 10, 1, "mainframe.addResult", ["mainframe"], "addResult", false],
            ["PARM ERR", true, 7, 1, "mainframe.addResult", ["mainframe"], "addResult", false],
            ["PARM ERR", false, 7, 1, "mainframe.addResult", ["mainframe"], "addResult", false],
            ["", true, 4, 1, "mainframe.addResult", ["mainframe"], "addResult", true]], "answers");
    }],
    ["the start page's full check runs through the engine and ends on its summary", async function () {
        LIVE.setHold(true);
        T = await H.open({ initScript: { fn: installLiveExternal, arg: { base: LIVE.base } } });
        await T.page.goto(LIVE.base + "INDEX.HTM", { waitUntil: "load" });
        eq(T.dialogs, [], "no alert inside the assistant");
        eq(LIVE.calls.map(function (c) { return [c.value, c.args, c.answer.text, c.answer.started]; }), [["4", "NX", "", true]],
            "the page starts the full check on load");
        // While results are still to come the worker is busy: a second command starts nothing.
        eq(await T.page.evaluate(function () { return window.external.RUVSysCall(3, "NX"); }), "BUSY", "answer while busy");
        ok(!LIVE.calls[1].answer.started && LIVE.runs.length === 1, "no second worker while busy");
        LIVE.setHold(false);
        var run = await LIVE.waitRun(0, RUN_MS);
        ok(run.exit === 0, "engine-run ended with " + run.exit + ": " + run.stderr);
        ok(run.lines.length > 1, "the engine reported findings");
        eq(run.lines[run.lines.length - 1], ["TITLE_IE", "0"], "the full check's end signal");
        var f = await lib.frameById(T, "mainframe");
        await waitSummary(f);
        eq(await f.evaluate(function () { return errcodes; }),
            run.lines.filter(function (l) { return l[1] !== "0"; }).map(function (l) { return l[0].toUpperCase(); }),
            "the page kept every finding in the engine's order");
        eq(await summaryOf(f), await expectedSummary(f, run.lines), "summary lists the engine's findings");
        var osLine = run.lines.filter(function (l) { return l[0].toUpperCase() === "OS0"; })[0];
        ok(osLine && /操作系统|用户|IE/.test(osLine[1]), "operating-system text decoded from GBK: " + JSON.stringify(osLine));
        ok((await tipText(T)).indexOf("检测时间(") >= 0, "tip with the check time");
        await H.shot(T, "live-full-check");
    }],
    // The repair after it can only start if this silent worker has ended.
    ["a worker for an unknown command reports nothing and ends", async function () {
        ok(T, "needs the page of the full check");
        eq(await T.page.evaluate(function () { return window.external.RUVSysCall(7, "NX"); }), "PARM ERR", "answer");
        var run = await LIVE.waitRun(1, RUN_MS);
        eq([run.command, run.exit, run.lines], [7, 0, []], "engine run of command 7");
    }],
    ["a repair answered No ends with the abandoned-repair summary", async function () {
        ok(T, "needs the page of the full check");
        var runs = LIVE.runs.length;
        await T.page.click("#topBtn4_2");
        var c = LIVE.calls[LIVE.calls.length - 1];
        eq([c.value, c.args, c.answer.text, c.answer.scriptFunction], ["10", "NX", "", "mainframe.addResult"], "repair call");
        var run = await LIVE.waitRun(runs, RUN_MS);
        if (run.exit === 3) {
            return "engine-run lacks command 10";
        }
        ok(run.exit === 0, "engine-run ended with " + run.exit + ": " + run.stderr);
        eq(run.lines, [["TITLE_CS", "1"], ["REPAIR1", "100"], ["REPAIR1", "0"]], "the engine's results");
        var f = await lib.frameById(T, "mainframe");
        await waitSummary(f);
        eq(await summaryOf(f), await expectedSummary(f, run.lines, true), "summary of the repair");
        var tip = await tipText(T);
        ok(tip.indexOf("您已经放弃了修复操作！") >= 0 && tip.indexOf("执行时间(") >= 0, "abandoned-repair tip: " + tip);
        await H.shot(T, "live-repair-no");
    }]
];

async function main() {
    ok(fs.existsSync(path.join(PREFIX, "system.reg")), "a staged prefix at " + PREFIX);
    LIVE = await new LiveHost({ pages: PAGES, prefix: PREFIX, dispatch: DISPATCH,
        vendor: +(process.env.LIVE_VENDOR || 1), wine: process.env.LIVE_WINE || "wine",
        env: { ENGINE_RUN_CONFIRM: "no" } }).start();
    H = new lib.Harness({ base: LIVE.base, shotDir: SHOTS, profileRoot: fs.mkdtempSync(path.join(os.tmpdir(), "live-test-")) });
    var failed = 0, passed = 0, only = process.env.LIVE_ONLY;
    for (var i = 0; i < TESTS.length; i++) {
        var name = "live pages: " + TESTS[i][0];
        if (only && name.indexOf(only) < 0) continue;
        try {
            var skip = await Promise.race([TESTS[i][1](), new Promise(function (res, rej) {
                setTimeout(function () { rej(new Error("timed out")); }, RUN_MS + 30000);
            })]);
            var left = H.leftovers();
            ok(left.length === 0, left.join("; "));
            if (skip) {
                console.log("# skipped: " + skip + " (" + name + ")");
                skipped.push(name);
                continue;
            }
            passed++;
            console.log("ok - " + name);
        } catch (e) {
            failed++;
            console.log("not ok - " + name);
            String(e && e.stack || e).split("\n").slice(0, 4).forEach(function (l) { console.log("# " + l); });
        }
    }
    await H.closeAll();
    fs.rmSync(H.profileRoot, { recursive: true, force: true });
    await LIVE.stop();
    console.log("# live pages: " + passed + " passed, " + failed + " failed, " + skipped.length + " skipped; screenshots in " + SHOTS);
    process.exit(failed ? 1 : 0);
}

main().catch(function (e) {
    console.log("not ok - live pages");
    console.log("# " + String(e && e.stack || e).split("\n")[0]);
    if (LIVE) LIVE.stop().catch(function () {});
    process.exit(1);
});
