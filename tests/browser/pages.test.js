// Page tests of the assistant's HTML resources in headless Chromium.
// usage: node pages.test.js PAGES_DIR SHOT_DIR
"use strict";
var path = require("path");
var fs = require("fs");
var os = require("os");
var server = require("./server");
var lib = require("./lib");
var RUNS = require("./runs");
var pageSource = require("../../assistant/res/expand-page");

var PAGES = path.resolve(process.argv[2] || "build/pages");
var SHOTS = path.resolve(process.argv[3] || "out/screenshots/browser");
var SRC = path.resolve(__dirname, "../../assistant/res/pages");
var TEMPLATES = path.resolve(__dirname, "../../assistant/res/templates");
var FIXED_TIME = "2024-03-05T09:07:03+08:00";
var STAMP = "2024-3-5 9:07:03";

// The result-code catalogue as the build reads it.
function catalogueFile() {
    return JSON.parse(fs.readFileSync(path.resolve(__dirname, "../../assistant/res/catalogue.json"), "utf8"));
}

// Every code the check engine sends: system checks, client checks (both
// vendors), online update, repairs and first-run installation, end signals.
var ENGINE_CODES = [
    "TITLE_WS", "OS0", "REG0", "REG2", "WEB0", "WEB1", "AUTORUN0", "AUTORUN1", "AUTORUN2", "TITLE_IE", "SITE0", "SITE10",
    "IELEVEL2", "IELEVEL0", "TITLE_RC", "ROOTCERT0", "ROOTCERT1",
    "TITLE_CT", "SIGN4", "SIGN3", "SIGN0", "SIGN1", "CONTROL4", "CONTROL3", "CONTROL0", "CONTROL1",
    "PRINTER4", "PRINTER3", "PRINTER0", "PRINTER1", "TITLE_UK",
    "UKEY_NO_DRIVER", "UKEY_NO_DRIVER_ZV", "UKEY_WQ2324", "UKEY_WQ2324_ZV", "VERSION", "VERSION_OLD", "VERSION_ZV",
    "VERSION_OLD_ZV", "UKEY_WQ2321", "UKEY_WQ2321_ZV", "UKEY_WQ2322", "UKEY_WQ2322_ZV", "UKEY_NO_KEY", "UKEY_NO_KEY_ZV",
    "UKEY_WQ2301", "UKEY_WQ2301_ZV", "UKEY_CERT_YQ", "UKEY_NO_CERT_YQ", "UKEY_CERT_ZV", "UKEY_NO_CERT_ZV",
    "TITLE_CE", "SIGN2", "SIGN2_ZV", "REPAIR0", "TITLE_CS", "REPAIR1", "REPAIR2"
];

/* ---------- assertions ---------- */

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
function has(text, part, msg) {
    if (String(text).indexOf(part) < 0) fail(msg + ": " + JSON.stringify(part) + " not in " + JSON.stringify(String(text).slice(0, 300)));
}
function sleep(ms) {
    return new Promise(function (r) { setTimeout(r, ms); });
}

/* ---------- page helpers ---------- */

var H;   // harness
var BASE;

async function openIndex(hostConfig, extra) {
    var opts = Object.assign({ host: hostConfig, fixedTime: FIXED_TIME }, extra || {});
    var t = await H.open(opts);
    await t.page.goto(BASE + "INDEX.HTM", { waitUntil: "load" });
    return t;
}

function host(t, expr) {
    return t.page.evaluate(new Function("return (" + expr + ");"));
}
async function release(t, n) {
    return t.page.evaluate(function (k) { return window.__ruvHost.release(k === null ? undefined : k); }, n === undefined ? null : n);
}
async function calls(t) {
    return t.page.evaluate(function () { return window.__ruvHost.calls; });
}
async function frame(t, id) {
    var f = await lib.frameById(t, id);
    ok(f, "frame " + id + " exists");
    return f;
}

// What a check frame shows while a run is going on.
async function rows(f) {
    return f.evaluate(function () {
        var t = document.getElementById("resultTable"), out = [], i, r;
        for (i = 0; i < t.rows.length; i++) {
            r = t.rows[i];
            out.push({
                id: r.id,
                text: r.innerText.replace(/\u00a0/g, " ").trim(),
                cls: r.cells[r.cells.length - 1].className,
                img: (r.querySelector("img") || { getAttribute: function () { return ""; } }).getAttribute("src")
            });
        }
        return out;
    });
}
async function progress(t, type) {
    return t.page.evaluate(function (k) {
        var bar = document.getElementById("load_progress" + k), txt = document.getElementById("load_percent" + k);
        return { width: bar ? bar.style.width : null, text: txt ? txt.innerText : null,
            line: bar ? document.getElementById("topInfo" + k).innerText.replace(/\u00a0/g, " ") : null };
    }, type);
}
async function tip(t, type) {
    return t.page.evaluate(function (k) {
        var el = document.getElementById("topInfo" + k), d = el.firstElementChild;
        var btn = document.getElementById("topBtn" + k);
        return { text: el.innerText, html: el.innerHTML, cls: d ? d.className : "", buttons: btn.style.display !== "none",
            caption: document.getElementById("topBtn" + k + "_1").innerText };
    }, type);
}
async function summary(f) {
    return f.evaluate(function () {
        var s = document.getElementById("summary"), groups = [], g = s.querySelectorAll(".resultGroup"), i, j, lis, lines;
        for (i = 0; i < g.length; i++) {
            lis = g[i].querySelectorAll("li");
            lines = [];
            for (j = 0; j < lis.length; j++) {
                lines.push({ cls: lis[j].className, text: lis[j].innerText.replace(/\u00a0/g, " "),
                    img: lis[j].querySelector("img").getAttribute("src"), button: (lis[j].querySelector("input") || {}).value || "" });
            }
            groups.push({ title: (g[i].querySelector(".groupTitle") || { innerText: "" }).innerText, lines: lines });
        }
        return { shown: s.style.display !== "none", groups: groups, rows: document.getElementById("resultTable").rows.length };
    });
}
async function waitTip(t, type, part) {
    await t.page.waitForFunction(function (a) {
        var el = document.getElementById("topInfo" + a[0]);
        return el && el.innerText.indexOf(a[1]) >= 0;
    }, [type, part], { timeout: 8000 });
}
async function commonChecks(t, name, opts) {
    opts = opts || {};
    var bad = await lib.brokenImages(t);
    ok(bad.length === 0, "broken images: " + bad.join("; "));
    if (opts.shot) {
        await H.shot(t, opts.shot);
        var bars = await lib.scrollBars(t);
        ok(bars.length === 0, "scroll bars: " + bars.join("; "));
        var clipped = await lib.clippedContent(t);
        ok(clipped.length === 0, "cut-off content: " + clipped.join("; "));
        var vp = t.page.viewportSize();
        eq([vp.width, vp.height], [708, 497], "screenshot size");
    }
}

/* ---------- tests ---------- */

var TESTS = [];
function test(name, fn) {
    TESTS.push({ name: name, fn: fn });
}

test("start page outside the assistant shows the alert and starts nothing", async function () {
    var t = await H.open({});
    await t.page.goto(BASE + "INDEX.HTM", { waitUntil: "load" });
    await sleep(100);
    eq(t.dialogs, [{ type: "alert", message: "请使用岚川银行网银助手打开此文件！" }], "alerts");
    var tp = await tip(t, 4);
    has(tp.text, "建议立即进行全面检测", "tip untouched");
    ok(tp.buttons, "buttons stay visible");
    var f = await frame(t, "mainframe");
    eq((await rows(f)).length, 0, "no waiting row");
    ok(await f.evaluate(function () { return document.getElementById("intro").style.display !== "none"; }), "introduction shown");
    eq(await t.page.evaluate(function () { return [fnIsDetector(), RUV_SysCall(4, "NX") === undefined]; }), [false, true], "outside: no call");
    eq(t.errors, [], "script errors");
    await commonChecks(t, "outside", { shot: "start-page-outside" });
});

test("start page inside the assistant calls RUVSysCall(4, \"NX\") on load and waits", async function () {
    var t = await openIndex({ hold: true, runs: { 4: RUNS.networkOnly } });
    var c = await calls(t);
    eq(c.map(function (x) { return [x.id, x.args, x.ret, x.argc]; }), [[4, "NX", "", 2]], "calls on load");
    eq(c[0].scriptFunction, "mainframe.addResult", "results go to the full-check frame");
    eq(t.dialogs, [], "no alert");
    var p = await progress(t, 4);
    eq([p.width, p.text], ["0%", "0%"], "progress starts at 0");
    eq(p.line.trim(), "正在进行检测，已完成 0%，请稍候....", "progress line");
    ok(!(await tip(t, 4)).buttons, "buttons hidden while running");
    var f = await frame(t, "mainframe");
    var r = await rows(f);
    eq(r.length, 1, "one waiting row");
    eq([r[0].text, r[0].img, r[0].cls], ["正在检查，请稍候...", "loading.gif", "waiting"], "waiting row");
    eq(await f.evaluate(function () { return getComputedStyle(document.querySelector(".waiting")).color; }), "rgb(187, 34, 0)", "waiting text red");
    await release(t, 8);
    eq((await progress(t, 4)).text, "75%", "progress follows the reports");
    await commonChecks(t, "running", { shot: "start-page-running" });
});

test("replayed full check: lines, progress, flags, groups and time stamp", async function () {
    var t = await openIndex({ hold: true, runs: { 4: RUNS.networkOnly } });
    var f = await frame(t, "mainframe");
    await release(t, 1);                                   // TITLE_WS 1
    eq((await rows(f)).length, 1, "a heading adds no line");
    await release(t, 1);                                   // os0 with the OS text
    var r = await rows(f);
    eq([r[0].text, r[0].cls, r[0].img], [RUNS.OS_TEXT, "result_ok", "icon_ok.png"], "OS line");
    eq(await progress(t, 4).then(function (p) { return [p.width, p.text]; }), ["15%", "15%"], "OS sets 15%");
    await release(t, 2);                                   // REG0, WEB1 30
    r = await rows(f);
    eq([r[2].text, r[2].cls, r[2].img], ["网络状态异常", "result_error", "icon_error.png"], "network line");
    eq(await progress(t, 4).then(function (p) { return [p.width, p.text]; }), ["30%", "30%"], "WEB1 sets 30%");
    await release(t, 1);                                   // AUTORUN1
    r = await rows(f);
    eq([r[3].cls, r[3].img], ["result_warning", "icon_warning.png"], "autoplay off is a warning line");
    var before = r.length;
    await release(t, 1);                                   // TITLE_IE 45
    eq((await rows(f)).length, before, "TITLE_IE with a value adds no line");
    eq(r[r.length - 1].id, "waitingRow", "waiting row stays last");
    await release(t);                                      // the rest, ending ("TITLE_IE", "0")
    r = await rows(f);
    eq(r[r.length - 1].text, "全面检测完毕！", "end row");
    ok(r.every(function (x) { return x.id !== "waitingRow"; }), "waiting row gone");
    eq((await progress(t, 4)).text, "100%", "end sets 100%");
    ok(!(await summary(f)).shown, "no summary before 1000 ms");
    await waitTip(t, 4, "检测时间");
    var s = await summary(f);
    eq(s.groups.map(function (g) { return g.title; }),
        ["系统状态检测结果：", "IE检测结果：", "根证书检测结果：", "网银控件检测结果：", "USBKey检测结果："], "groups");
    eq(s.groups[0].lines.map(function (l) { return l.cls; }), ["result_ok", "result_ok", "result_error", "result_warning"], "system group");
    eq(s.groups[0].lines[0].text, RUNS.OS_TEXT, "OS text kept in the summary");
    has(s.groups[0].lines[2].text, "网络状态异常 （网络不通,不能进行网银客户端在线更新和网银交易）", "advice in brackets");
    eq(s.rows, 0, "table emptied");
    var tp = await tip(t, 4);
    eq(tp.text.replace(/\n/g, ""), "您的电脑已有岚川银行网上银行相关环境，但存在网络问题，还不能正常使用网银，请检查！检测时间(" + STAMP + ")", "network-only tip");
    eq(tp.cls, "tipResultError", "tip style");
    ok(tp.buttons, "buttons shown again");
    eq((await host(t, "window.__ruvHost.delivered.filter(function(d){return d.result!=='called'})")), [], "every report was delivered");
    await commonChecks(t, "full");
});

test("full-check summary texts for each situation", async function () {
    var t = await openIndex({ runs: { 4: RUNS.withErrors } });
    var f = await frame(t, "mainframe");
    await waitTip(t, 4, "检测时间");
    var tp = await tip(t, 4);
    has(tp.text, "为了使您的电脑达到使用岚川银行网上银行的最优环境配置，请查阅详细的检测结果，可以点击\"一键修复\"按钮进行除网络问题的修复！", "errors and network");
    eq(tp.cls, "tipResultError", "error style");
    var s = await summary(f);
    var ctrl = s.groups[3].lines[1];
    eq([ctrl.cls, ctrl.img], ["result_error", "icon_error.png"], "missing control is an error line");
    await commonChecks(t, "errors", { shot: "full-check-summary-errors" });
    var last = await f.evaluate(function () {
        var s = document.getElementById("summary"), li = s.querySelectorAll("li"), l = li[li.length - 1];
        s.scrollTop = s.scrollHeight;
        var box = s.getBoundingClientRect(), r = l.getBoundingClientRect();
        return [l.innerText.replace(/\u00a0/g, " "), r.bottom <= box.bottom + 1 && r.top >= box.top, getComputedStyle(s).overflowY];
    });
    eq(last, ["系统没有检测到朔岩USBKey （请插入朔岩USBKey后重新检测）", true, "auto"], "the last finding can be scrolled into view");

    var cases = [[RUNS.errorsOnly, "为了使您的电脑达到使用岚川银行网上银行的最优环境配置，请查阅详细的检测结果，可以点击\"一键修复\"按钮进行修复！", "tipResultError"],
        [RUNS.clean, "恭喜您，您的电脑已达到使用岚川银行网上银行的最优环境配置，可以放心使用！", "tipResultOK"]];
    for (var i = 0; i < cases.length; i++) {
        await t.page.evaluate(function (run) { window.__ruvHost.setRun("4", run); }, cases[i][0]);
        await t.page.click("#topBtn4_1");
        await t.page.waitForFunction(function () { return document.getElementById("topBtn4").style.display !== "none"; }, null, { timeout: 8000 });
        tp = await tip(t, 4);
        eq(tp.text.replace(/\n/g, ""), cases[i][1] + "检测时间(" + STAMP + ")", "case " + i);
        eq(tp.cls, cases[i][2], "case " + i + " style");
        s = await summary(f);
        eq(s.groups.length, 5, "case " + i + ": only this run's groups");
    }
    eq((await calls(t)).map(function (c) { return [c.id, c.args, c.notFirstRun]; }), [[4, "NX", 0], [4, "NX", 1], [4, "NX", 1]], "calls");
});

test("repair from the full-check page", async function () {
    var t = await openIndex({ runs: { 4: RUNS.networkOnly, "10:NX": RUNS.repairAbandoned } });
    var f = await frame(t, "mainframe");
    await waitTip(t, 4, "检测时间");
    await t.page.evaluate(function () { window.__ruvHost.setHold(true); });
    await t.page.click("#topBtn4_2");
    var c = await calls(t);
    eq([c[1].id, c[1].args, c[1].ret, c[1].scriptFunction], [10, "NX", "", "mainframe.addResult"], "repair call");
    eq((await progress(t, 4)).line.trim(), "正在进行修复，已完成 0%，请稍候....", "repair progress line");
    ok(!(await tip(t, 4)).buttons, "buttons hidden");
    var r = await rows(f);
    eq([r.length, r[0].text, r[0].img, r[0].cls], [1, "正在进行全面修复，请稍候...", "loading.gif", "waiting"], "repair waiting row");
    ok(!(await summary(f)).shown, "old summary cleared");
    await release(t);
    await waitTip(t, 4, "执行时间");
    var s = await summary(f);
    eq(s.groups.map(function (g) { return g.title; }), ["修复结果：", "IE修复结果："], "repair headings read 修复");
    eq(s.groups[1].lines.map(function (l) { return [l.cls, l.text]; }), [["result_warning", "您已经放弃了修复操作"]], "REPAIR1 line");
    var tp = await tip(t, 4);
    eq(tp.text.replace(/\n/g, ""), "您已经放弃了修复操作！执行时间(" + STAMP + ")", "abandoned tip");
    // the next check is a check again
    await t.page.evaluate(function () { window.__ruvHost.setHold(false); });
    await t.page.click("#topBtn4_1");
    await waitTip(t, 4, "检测时间");
    s = await summary(f);
    eq(s.groups[1].title, "IE检测结果：", "a later check reads 检测 again");

    var t2 = await openIndex({ runs: { 4: RUNS.networkOnly, "10:NX": RUNS.repairDone } });
    await waitTip(t2, 4, "检测时间");
    await t2.page.click("#topBtn4_2");
    await waitTip(t2, 4, "执行时间");
    tp = await tip(t2, 4);
    eq([tp.text.replace(/\n/g, ""), tp.cls], ["恭喜您，您的电脑已达到使用岚川银行网上银行的最优环境配置，可以放心使用！执行时间(" + STAMP + ")", "tipResultOK"], "repair done");
    await commonChecks(t2, "repair");
});

test("online update and its repair use their own frame, argument and texts", async function () {
    var t = await openIndex({ runs: { 4: RUNS.clean, 2: RUNS.updateDone, "10:NXCT": RUNS.repairFailed } });
    await waitTip(t, 4, "检测时间");
    await t.page.click("#tb2");
    ok(await t.page.evaluate(function () {
        return document.getElementById("area2").style.display !== "none" && document.getElementById("area1").style.display === "none" &&
            document.getElementById("tabs2").style.display !== "none" && document.getElementById("tbimg2").getAttribute("src") === "btn_advance_hover.png";
    }), "advanced button shows the online-update area");
    await t.page.click("#topBtn2_1");
    var c = await calls(t);
    eq([c[1].id, c[1].args, c[1].scriptFunction], [2, "NX", "mainframe2.addResult"], "update call");
    await waitTip(t, 2, "检测时间");
    var tp = await tip(t, 2);
    eq([tp.text.replace(/\n/g, ""), tp.cls, tp.caption], ["您的岚川银行朔岩网银客户端已在线更新成功检测时间(" + STAMP + ")", "tipResultOK", "在线更新"], "update done");
    var f2 = await frame(t, "mainframe2");
    var s = await summary(f2);
    eq(s.groups.map(function (g) { return g.title; }), ["在线更新结果：", "在线更新结果："], "update groups");
    await commonChecks(t, "update", { shot: "online-update-summary" });

    await t.page.evaluate(function (run) { window.__ruvHost.setRun("2", run); }, RUNS.updateNoNetwork);
    await t.page.click("#topBtn2_1");
    await t.page.waitForFunction(function () { return document.getElementById("topInfo2").innerText.indexOf("失败") >= 0; }, null, { timeout: 8000 });
    tp = await tip(t, 2);
    eq(tp.text.replace(/\n/g, ""), "在线更新岚川银行朔岩网银客户端失败，请检查您的网络是否通信正常检测时间(" + STAMP + ")", "update failed");

    var fullTipBefore = (await tip(t, 4)).text;
    await f2.evaluate(function () { repairAll(); });
    c = await calls(t);
    eq([c[3].id, c[3].args, c[3].scriptFunction], [10, "NXCT", "mainframe2.addResult"], "repair from the update page");
    await waitTip(t, 2, "执行时间");
    tp = await tip(t, 2);
    eq(tp.text.replace(/\n/g, ""), "修复操作失败，请重新执行修复！执行时间(" + STAMP + ")", "update-page repair failed");
    eq((await tip(t, 4)).text, fullTipBefore, "full-check tip untouched");
});

test("a request while the update's worker still runs is refused where the user sees it", async function () {
    var busy = "正在执行检测，请等待操作完成！";
    // The update shows its end ("REPAIR0", "0") while its worker goes on.
    var t = await openIndex({ runs: { 4: RUNS.clean, 2: [["TITLE_CE", "10"], ["REPAIR0", "0"], ["VERSION", "95"], ["TITLE_CE", "0"]] } });
    await waitTip(t, 4, "检测时间");
    await t.page.click("#tb2");
    await t.page.evaluate(function () { window.__ruvHost.setHold(true); });
    await t.page.click("#topBtn2_1");
    await release(t, 2);
    await waitTip(t, 2, "检测时间");
    ok((await tip(t, 2)).buttons, "the update's buttons are back before its worker ends");

    await t.page.click("#topBtn2_1");
    var f2 = await frame(t, "mainframe2");
    await f2.evaluate(function () { repairAll(); });
    var c = await calls(t);
    eq(c.slice(2).map(function (x) { return [x.id, x.args, x.ret, !!x.refused]; }), [[2, "NX", "BUSY", true], [10, "NXCT", "BUSY", true]],
        "both refused");
    var tp = await tip(t, 2);
    eq([tp.text, tp.cls, tp.buttons], [busy, "tipResultError", true], "the refusal in the tip, the buttons kept");
    eq((await rows(f2)).map(function (r) { return [r.text, r.img]; }), [[busy, "icon_warning.png"]], "no waiting row left");
    await commonChecks(t, "refused", { shot: "online-update-refused" });

    await release(t);  // the worker's own end
    await t.page.click("#topBtn2_1");
    c = await calls(t);
    eq([c[4].ret, !!c[4].refused], ["", false], "the next request runs");
});

test("a code missing from the catalogue is lost without breaking the page", async function () {
    var run = RUNS.fullCheck({ insertAt: 3, insert: ["NO_SUCH_CODE", "20"] });
    var t = await openIndex({ runs: { 4: run, 2: [["TITLE_CE", "10"], ["no_such_code", "50"], ["VERSION", "95"], ["TITLE_CE", "0"]] } });
    var f = await frame(t, "mainframe");
    await waitTip(t, 4, "检测时间");
    var s = await summary(f);
    var lines = [].concat.apply([], s.groups.map(function (g) { return g.lines; }));
    eq(lines.length, run.length - 1 - 5 - 1, "every known finding shown, the unknown one lost");
    has((await tip(t, 4)).text, "恭喜您", "summary still drawn");
    await t.page.click("#tb2");
    await t.page.click("#topBtn2_1");
    await waitTip(t, 2, "检测时间");
    var f2 = await frame(t, "mainframe2");
    s = await summary(f2);
    eq(s.groups[0].lines.map(function (l) { return l.text; }), ["岚川银行朔岩网银客户端已经是最新版本!"], "update page keeps going");
    eq(t.errors, [], "no uncaught script error");

    // the client-check page swallows it too; the system-check page does not
    var k = await H.open({});
    await k.page.goto(BASE + "NX_DETECTKEY.HTM");
    var out = await k.page.evaluate(function () {
        nxStartRun("&nbsp;正在检查，请稍候...", 0);
        addResult("TITLE_UK", "95");
        addResult("BOGUS", "60");
        addResult("UKEY_NO_KEY", "50");
        addResult("TITLE_RC", "0");
        return errcodes.join(",");
    });
    eq(out, "TITLE_UK,UKEY_NO_KEY", "client-check page drops the unknown code");
    await k.page.waitForFunction(function () { return document.getElementById("summary").style.display !== "none"; }, null, { timeout: 5000 });
    var ks = await summary(k.page.mainFrame());
    eq(ks.groups.map(function (g) { return [g.title, g.lines.length]; }), [["USBKey检测结果：", 1]], "client-check summary");
    var y = await H.open({});
    await y.page.goto(BASE + "NX_DETECTSYS.HTM");
    var thrown = await y.page.evaluate(function () {
        nxStartRun("", 0);
        try {
            addResult("BOGUS", "60");
            return "no error";
        } catch (e) {
            addResult("WEB1", "30");
            return "error; then " + errcodes.join(",");
        }
    });
    eq(thrown, "error; then WEB1", "system-check page lets the error reach the host");
});

test("each check page counts errors by its own rules", async function () {
    // [page, reports, expected tip text start]
    var cases = [
        ["NX_DETECTSYS.HTM", [["WEB1", "30"], ["AUTORUN1", "45"], ["UKEY_NO_KEY", "50"]], "您的系统设置符合岚川银行网银使用要求，但存在网络问题"],
        ["NX_DETECTSYS.HTM", [["UKEY_NO_KEY_ZV", "50"]], "您的系统设置会影响岚川银行网银使用，请查阅详细的检测结果，可以点击\"一键修复\"按钮进行修复！"],
        ["NX_DETECTSYS.HTM", [["SITE10", "60"], ["WEB1", "30"]], "您的系统设置会影响岚川银行网银使用，请查阅详细的检测结果，可以点击\"一键修复\"按钮进行除网络问题的修复！"],
        ["NX_DETECTSYS.HTM", [["AUTORUN2", "45"], ["TITLE_IE", "45"]], "您的系统设置符合岚川银行网银使用要求，可以正常使用岚川银行网银！"],
        ["NX_DETECTKEY.HTM", [["UKEY_NO_KEY", "50"], ["VERSION", "95"]], "您的朔岩网银客户端安装正确，可以正常使用网银"],
        ["NX_DETECTKEY.HTM", [["UKEY_NO_KEY_ZV", "50"]], "没有检测到朔岩USBKey或朔岩USBKey状态不正常"],
        ["NX_DETECTKEY.HTM", [["WEB1", "30"]], "没有检测到朔岩USBKey或朔岩USBKey状态不正常"],
        ["NX_DETECTCT.HTM", [["AUTORUN1", "45"]], "在线更新岚川银行朔岩网银客户端失败"],
        ["NX_DETECTCT.HTM", [["TITLE_CE", "10"], ["VERSION", "95"]], "您的岚川银行朔岩网银客户端已在线更新成功"],
        ["NX_DETECTALL.HTM", [["UKEY_NO_KEY_ZV", "50"], ["UKEY_NO_CERT_ZV", "95"], ["UKEY_NO_CERT_YQ", "95"], ["AUTORUN1", "45"]], "恭喜您"],
        ["NX_DETECTALL.HTM", [["UKEY_WQ2321", "50"]], "为了使您的电脑达到使用岚川银行网上银行的最优环境配置，请查阅详细的检测结果，可以点击\"一键修复\"按钮进行修复！"]
    ];
    var t = await H.open({}), current = "";
    for (var i = 0; i < cases.length; i++) {
        if (cases[i][0] !== current) {
            current = cases[i][0];
            await t.page.goto(BASE + current);
        }
        var text = await t.page.evaluate(function (reports) {
            nxStartRun("", 0);
            for (var k = 0; k < reports.length; k++) addResult(reports[k][0], reports[k][1]);
            return nxTipText("TITLE_RC")[0];
        }, cases[i][1]);
        eq(text.slice(0, cases[i][2].length), cases[i][2], current + " case " + i);
    }
    // headings each page draws as groups; the others are plain lines there
    var groups = {};
    var pages = ["NX_DETECTALL.HTM", "NX_DETECTCT.HTM", "NX_DETECTKEY.HTM", "NX_DETECTSYS.HTM"];
    for (i = 0; i < pages.length; i++) {
        await t.page.goto(BASE + pages[i]);
        groups[pages[i]] = await t.page.evaluate(function () {
            var h = TITLE_CODES;
            nxStartRun("", 0);
            for (var k = 0; k < h.length; k++) addResult(h[k], "1");
            nxSummary("TITLE_RC");
            var out = [], g = document.querySelectorAll(".groupTitle"), j;
            for (j = 0; j < g.length; j++) out.push(g[j].innerText);
            return out.length + "/" + document.querySelectorAll("#summary li").length;
        });
    }
    eq(groups, { "NX_DETECTALL.HTM": "9/0", "NX_DETECTCT.HTM": "7/2", "NX_DETECTKEY.HTM": "9/0", "NX_DETECTSYS.HTM": "5/4" }, "headings per page");
});

test("catalogue: the page reads catalogue.json entry for entry, every engine code, statuses", async function () {
    var t = await H.open({});
    await t.page.goto(BASE + "NX_DETECTALL.HTM");
    var cat = await t.page.evaluate(function () {
        var out = [], k, e;
        for (k in errList) {
            e = errList[k];
            out.push([k, e.errmsg, e.fmt, e.status, e.btv]);
        }
        return { list: out, headings: TITLE_CODES, icons: [getImgHTML("0"), getImgHTML("1"), getImgHTML("2"), getImgHTML("x")] };
    });
    // Read through the GBK script: a text the build drops, reorders, escapes
    // or transcodes wrongly differs here.
    eq(cat.list, catalogueFile().map(function (e) { return [e.code, e.errmsg, e.fmt, e.status, e.btv]; }),
        "errList is catalogue.json in its order");
    var codes = {};
    cat.list.forEach(function (e) { codes[e[0]] = e; });
    var missing = ENGINE_CODES.filter(function (c) { return !codes[c]; });
    eq(missing, [], "engine codes without an entry");
    eq(cat.headings.filter(function (c) { return !codes[c]; }), [], "headings without an entry");
    cat.list.forEach(function (e) {
        ok(e[1].length > 0, e[0] + " has a message");
        if (cat.headings.indexOf(e[0]) >= 0) eq(e[3], "", e[0] + " heading status");
        else ok(["0", "1", "2"].indexOf(e[3]) >= 0, e[0] + " status " + e[3]);
    });
    eq(cat.icons.map(function (h) { return /src="([^"]+)"/.exec(h)[1]; }), ["icon_ok.png", "icon_warning.png", "icon_error.png", "icon_ok.png"], "status icons");
    ok(cat.icons.every(function (h) { return /width="16" height="16"/.test(h); }), "icons are 16 x 16");
});

test("addressing: the style sheet's background and every reference of the pages resolve to a built resource", async function () {
    var t = await H.open({ host: { hold: true } });
    await t.page.goto(BASE + "index.htm");
    var bg = await t.page.evaluate(function () { return getComputedStyle(document.body).backgroundImage; });
    eq(bg, "url(\"" + BASE + "bg.png\")", "style sheet background resolves to the root");
    ok(await t.page.evaluate(function (u) {
        return new Promise(function (res) { var i = new Image(); i.onload = function () { res(i.naturalWidth === 708 && i.naturalHeight === 497); }; i.onerror = function () { res(false); }; i.src = u; });
    }, BASE + "bg.png"), "BG.PNG is the 708 x 497 background");

    // every src, href and url() of every page and the style sheet
    var names = fs.readFileSync(path.join(PAGES, "resources.list"), "utf8").split("\n").filter(Boolean);
    var referenced = {}, bad = [];
    names.forEach(function (n) {
        if (!/\.(HTM|CSS|JS)$/.test(n)) return;
        var text = fs.readFileSync(path.join(PAGES, n), "latin1");
        var re = /(?:src|href)\s*=\s*"([^"]*)"|url\(\s*([^)]*?)\s*\)|['"]([A-Za-z0-9_]+\.(?:png|gif|htm|js|css))['"]/gi, m, ref;
        while ((m = re.exec(text))) {
            ref = (m[1] || m[2] || m[3]).replace(/^['"]|['"]$/g, "");
            // "_hover.png" is a suffix the tool-bar script appends
            if (/^(https?:|javascript:|#|mailto:)/i.test(ref) || ref === "" || ref.charAt(0) === "_" || /['+ ]/.test(ref)) continue;
            var rname = server.resourceName(new URL(ref, BASE + n).pathname);
            referenced[rname] = true;
            if (names.indexOf(rname) < 0) bad.push(n + " -> " + ref);
        }
    });
    // the tool-bar script builds the hover names from the normal ones
    ["BTN_HOME", "BTN_ADVANCE", "BTN_HELP", "BTN_LOGIN"].forEach(function (b) {
        if (referenced[b + "_NORMAL.PNG"]) referenced[b + "_HOVER.PNG"] = true;
    });
    eq(bad, [], "references without a resource");
    var unused = names.filter(function (n) { return /\.(PNG|GIF)$/.test(n) && !(n in referenced); });
    eq(unused.sort(), ["CONTENT_MAIN.PNG", "FOOTER_BG.PNG", "ICON_ERROR_1.PNG"], "only the three stored-only images are unreferenced");
});

test("built resources: GBK pages, UTF-8 certificate pages, generated catalogue", async function () {
    var gbk = new TextDecoder("gbk");
    // The pages name the bank's addresses as @KEY@; a test build fills in the test values.
    var bank = {};
    fs.readFileSync(path.join(__dirname, "../../assistant/res/bank-test.values"), "utf8").split("\n").forEach(function (l) {
        var m = /^([A-Z][A-Z0-9_]*)=(.*)$/.exec(l);
        if (m) bank[m[1]] = m[2];
    });
    function filled(text) {
        return text.replace(/@([A-Z][A-Z0-9_]*_URL)@/g, function (all, k) { return k in bank ? bank[k] : all; });
    }
    ["INDEX.HTM", "NX_DETECTALL.HTM", "NX_DETECTCT.HTM", "NX_DETECTKEY.HTM", "NX_DETECTSYS.HTM", "KUAIJIE.HTM", "HELP.HTM"].forEach(function (n) {
        var built = fs.readFileSync(path.join(PAGES, n)), src = filled(pageSource.expandSource(path.join(SRC, n)));
        has(src, "charset=gb2312", n + " declares gb2312");
        eq(gbk.decode(built) === src, true, n + " is the source in GBK");
        ok(!built.equals(Buffer.from(src, "utf8")), n + " is not UTF-8");
    });
    ["ABOUT.HTM", "ZANVO.HTM"].forEach(function (n) {
        var built = fs.readFileSync(path.join(PAGES, n)), src = Buffer.from(filled(pageSource.expandSource(path.join(SRC, n))), "utf8");
        ok(built.equals(src), n + " kept as UTF-8");
        has(src.toString("utf8"), "charset=utf-8", n + " declares utf-8");
    });
    var js = gbk.decode(fs.readFileSync(path.join(PAGES, "NX.JS")));
    // what the page reads from it is compared in the catalogue test
    ok(js.indexOf("/*@ERRLIST@*/") < 0 && js.indexOf("var errList = {") >= 0, "catalogue generated into NX.JS");
});

test("page sources: a template value missing, unused, given twice or misplaced fails the build", async function () {
    var dir = fs.mkdtempSync(path.join(os.tmpdir(), "page-src-"));
    var good = ["@template cert-form.htm", "@CHARSET utf-8", "@TITLE T", "@VENDOR V", "@CSP C"];
    function expand(lines) {
        var f = path.join(dir, "X.HTM");
        fs.writeFileSync(f, lines.join("\n") + "\n");
        try {
            return pageSource.expandSource(f);
        } catch (e) {
            return "error: " + e.message;
        }
    }
    try {
        var page = expand(good);
        has(page, 'var WANTED_CSP = "C";', "value filled in");
        has(page, "<title>T</title>", "value filled in the included head");
        ok(page.indexOf("{{") < 0, "no placeholder left");
        has(expand(good.slice(0, 4)), "error: ", "missing value");
        has(expand(good.concat(["@EXTRA x"])), "EXTRA is not used", "unused value");
        has(expand(good.concat(["@CSP D"])), "CSP given twice", "value given twice");
        has(expand(good.slice(0, 4).concat(["@CSP", "a", "b"])), "several lines", "multi-line value in a line");
        has(expand(["@template cert-form.htm", "stray"].concat(good.slice(1))), "text outside a value", "text before the first value");
        has(expand(["@template no-such.htm"]), "error: ", "unknown template");
        eq(expand(["<html>", "@TITLE kept"]), "<html>\n@TITLE kept\n", "a page without a template is kept as it stands");
    } finally {
        fs.rmSync(dir, { recursive: true, force: true });
    }
});

test("page scripts are plain ES3 style", async function () {
    // pages as expanded, and the script fragments of the templates
    var files = fs.readdirSync(SRC).filter(function (n) { return /\.(HTM|JS)$/.test(n); }), bad = [];
    var sources = files.map(function (n) { return [n, pageSource.expandSource(path.join(SRC, n))]; });
    fs.readdirSync(TEMPLATES).filter(function (n) { return /\.js$/.test(n); }).forEach(function (n) {
        sources.push([n, fs.readFileSync(path.join(TEMPLATES, n), "utf8")]);
    });
    sources.forEach(function (nt) {
        var n = nt[0], text = nt[1], code = text;
        if (/\.HTM$/.test(n)) {
            code = (text.match(/<script[^>]*>([\s\S]*?)<\/script>/gi) || []).join("\n") +
                (text.match(/\son\w+="[^"]*"/g) || []).join("\n");
        }
        code = code.replace(/"(?:[^"\\\n]|\\.)*"|'(?:[^'\\\n]|\\.)*'/g, "\"\"").replace(/\/\/[^\n]*|\/\*[\s\S]*?\*\//g, "");
        [[/=>/, "arrow function"], [/\b(let|const)\s/, "let/const"], [/\bclass\s+\w+/, "class"], [/`/, "template string"],
            [/,\s*[}\]]/, "trailing comma"], [/\.\.\.\w/, "spread"], [/\basync\b|\bawait\b/, "async"]].forEach(function (p) {
            if (p[0].test(code)) bad.push(n + ": " + p[1]);
        });
    });
    eq(bad, [], "modern syntax");
});

test("RUV_SysCall and fnIsDetector keep the host contract", async function () {
    var t = await openIndex({ hold: true });
    var r = await t.page.evaluate(function () {
        var out = {};
        out.prop = window.external.RUVSysCall != null;
        out.eqTrue = window.external.RUVSysCall == true;
        out.none = RUV_SysCall();
        out.three = RUV_SysCall(1, "NX", 3);
        out.one = RUV_SysCall(3);
        out.bad = RUV_SysCall(7, "NX");
        out.double = RUV_SysCall(2.9, "NX");
        out.lower = RUV_SysCall(10, "nxct");
        try {
            window.external.Other();
            out.other = "no error";
        } catch (e) {
            out.other = "error";
        }
        return out;
    });
    eq([r.prop, r.eqTrue, r.none, r.three, r.one, r.bad, r.double, r.lower, r.other],
        [true, true, undefined, undefined, "", "PARM ERR", "", "", "error"], "results");
    eq(t.dialogs.map(function (d) { return d.message; }), ["参数不正确，您应该传递一到两个参数！", "参数不正确，您应该传递一到两个参数！"], "argument alerts");
    var c = await calls(t);
    eq(c.slice(1).map(function (x) { return [x.id, x.args, x.ret, x.scriptFunction]; }), [
        [3, "[object Object]", "", "mainframe3.addResult"],
        [7, "NX", "PARM ERR", "mainframe3.addResult"],
        [2, "NX", "", "mainframe2.addResult"],
        [10, "nxct", "", "mainframe.addResult"]], "dispatch");
    var f = await H.open({ initScript: { fn: function () {
        Object.defineProperty(window, "external", { value: new Proxy({}, { get: function () { throw new Error("no"); } }), configurable: true });
    } } });
    await f.page.goto(BASE + "NX_DETECTALL.HTM");
    eq(await f.page.evaluate(function () { return fnIsDetector(); }), false, "a throwing property read is not the assistant");
});

test("tool bar, tabs and shortcut page", async function () {
    var t = await openIndex({ runs: { 4: RUNS.clean } });
    await waitTip(t, 4, "检测时间");
    var src = function (n) { return t.page.evaluate(function (k) { return document.getElementById("tbimg" + k).getAttribute("src"); }, n); };
    eq(await src(1), "btn_home_hover.png", "active button uses its hover image");
    await t.page.hover("#tb2");
    eq(await src(2), "btn_advance_hover.png", "hover image under the pointer");
    await t.page.mouse.move(600, 300);
    eq(await src(2), "btn_advance_normal.png", "normal image again");
    await t.page.hover("#tb1");
    await t.page.mouse.move(600, 300);
    eq(await src(1), "btn_home_hover.png", "active button keeps its hover image");
    await t.page.click("#tb4");
    await t.page.click("#tb4");
    var st = await t.page.evaluate(function () {
        function shown(id) { return document.getElementById(id).style.display !== "none"; }
        return [shown("area4"), shown("area1"), shown("area2"), shown("tabs4"), document.getElementById("tabs4").innerText,
            getComputedStyle(document.querySelector("#tabs4 .tab")).fontWeight, document.getElementById("tbimg4").getAttribute("src")];
    });
    eq(st, [true, false, false, true, "快捷链接", "700", "btn_login_hover.png"], "shortcut area");
    var f = await frame(t, "mainframe9");
    var tiles = await f.evaluate(function () {
        var out = [], d = document.querySelectorAll(".tile"), i, a;
        for (i = 0; i < d.length; i++) {
            a = d[i].querySelector("a");
            out.push([d[i].querySelector(".tileLegend").innerText.trim(), a.querySelector("img").getAttribute("src"), a.target,
                a.querySelector("img").width, a.querySelector("img").height]);
        }
        return out;
    });
    eq(tiles.map(function (x) { return x.slice(0, 2); }), [["岚川银行主页", "sc1.png"], ["企业网银登录", "sc4.png"], ["个人网银大众版", "sc2.png"],
        ["CFCA证书下载", "sc5.png"], ["个人网银专业版", "sc3.png"], ["电子回单验证", "sc6.png"]], "tiles");
    ok(tiles.every(function (x) { return x[2] === "_blank" && x[3] === 300 && x[4] === 70; }), "300 x 70 links opening a new window");
    eq(await t.page.evaluate(function () {
        var a = document.getElementById("mainframe"), b = document.getElementById("mainframe9");
        return [a.offsetWidth, a.offsetHeight, b.offsetWidth, b.offsetHeight, document.getElementById("mainframe2").getAttribute("name")];
    }), [0, 0, 667, 360, "frame_main2"], "frame areas");
    await commonChecks(t, "shortcuts", { shot: "shortcut-page" });
    await t.page.click("#tb1");
    eq(await t.page.evaluate(function () { var f = document.getElementById("mainframe"); return [f.offsetWidth, f.offsetHeight]; }), [667, 260], "check frame area");
});

test("help page", async function () {
    var t = await H.open({});
    await t.page.goto(BASE + "HELP.HTM");
    var qa = await t.page.evaluate(function () {
        var q = document.querySelectorAll(".qa"), out = [], i;
        for (i = 0; i < q.length; i++) {
            out.push([q[i].querySelector(".question img").getAttribute("src"), q[i].querySelector(".answer .c").innerText.length > 20]);
        }
        return out;
    });
    eq(qa.length, 7, "seven questions");
    ok(qa.every(function (x) { return x[0] === "icon_star.png" && x[1]; }), "each with a star and an answer");
    has(await t.page.evaluate(function () { return document.body.innerText; }), "Eb17 错误CIE7", "the Eb17 question");
    await commonChecks(t, "help", { shot: "help-page" });
});

function fakeEnroll(arg) {
    window.__pkcs10 = [];
    window.ActiveXObject = function (progid) {
        if (progid !== "CEnroll.CEnroll") throw new Error("no " + progid);
        var o = {
            ProviderName: "", ProviderType: 0,
            enumProviders: function (i) {
                if (i >= arg.length) throw new Error("end");
                return arg[i];
            },
            createPKCS10: function (dn, usage) {
                window.__pkcs10.push([o.ProviderName, dn, usage]);
                return "MIIBREQUEST";
            }
        };
        return o;
    };
}

test("certificate download forms check the 32-character fields", async function () {
    var pages = [["ABOUT.HTM", "LCCB VK820Auto CSP v1.0"], ["ZANVO.HTM", "Zanvo Cryptographic Service Provider"]];
    var ref = "A".repeat(32), auth = "b".repeat(32);
    for (var i = 0; i < pages.length; i++) {
        var t = await H.open({ initScript: { fn: fakeEnroll, arg: ["Base Cryptographic Provider v1.0", "LCCB VK820Auto CSP v1.0", "Zanvo Cryptographic Service Provider"] } });
        var posted = [];
        await t.page.route("https://cs.lccb-ca.example/**", function (route) {
            posted.push(route.request().postData());
            route.fulfill({ status: 200, contentType: "text/html", body: "<html><body>ok</body></html>" });
        });
        await t.page.goto(BASE + pages[i][0].toLowerCase());
        eq(await t.page.evaluate(function () {
            var s = document.getElementById("provider"), o = [], k;
            for (k = 0; k < s.options.length; k++) o.push(s.options[k].value);
            return o;
        }), [pages[i][1]], pages[i][0] + " offers only its vendor's provider");
        var tries = [[ref.slice(1), auth, "参考号", "31"], [ref + "A", auth, "参考号", "33"], ["", auth, "参考号", "0"], [ref, "12345", "授权码", "5"]];
        for (var j = 0; j < tries.length; j++) {
            await t.page.fill("#refNo", tries[j][0]);
            await t.page.fill("#authCode", tries[j][1]);
            t.dialogs.length = 0;
            await t.page.click("#submitBtn");
            eq(t.dialogs.length, 1, pages[i][0] + " try " + j + " shows a message");
            has(t.dialogs[0].message, tries[j][2], "field named");
            has(t.dialogs[0].message, "您输入的是" + tries[j][3] + "位", "length entered named");
        }
        eq(await t.page.evaluate(function () { return window.__pkcs10.length; }), 0, "no request built for bad input");
        t.dialogs.length = 0;
        await t.page.fill("#refNo", ref);
        await t.page.fill("#authCode", auth);
        await Promise.all([t.page.waitForURL(/cs\.lccb-ca\.example/), t.page.click("#submitBtn")]);
        eq(t.dialogs, [], "no message for good input");
        eq(posted.length, 1, "posted once");
        has(posted[0], "action=getBrowserCert", "action value");
        has(posted[0], "refNo=" + ref, "reference number posted");
        has(posted[0], "pkcs10=MIIBREQUEST", "request posted");
    }
    var p = await H.open({});
    await p.page.goto(BASE + "ABOUT.HTM");
    await p.page.fill("#refNo", ref);
    await p.page.fill("#authCode", auth);
    await p.page.click("#submitBtn");
    eq(p.dialogs.length, 1, "without the enrolment control a message, no post");
    has(p.dialogs[0].message, "加密服务提供者", "names the missing provider");
});

/* ---------- runner ---------- */

async function main() {
    var srv = await server.start(PAGES, 0);
    BASE = "http://127.0.0.1:" + srv.address().port + "/";
    H = new lib.Harness({ base: BASE, shotDir: SHOTS, profileRoot: fs.mkdtempSync(path.join(os.tmpdir(), "pages-test-")) });
    var failed = 0, ran = 0, only = process.env.PAGES_TEST_ONLY;
    for (var i = 0; i < TESTS.length; i++) {
        var tc = TESTS[i];
        if (only && tc.name.indexOf(only) < 0) continue;
        var started = Date.now();
        ran++;
        try {
            await Promise.race([tc.fn(), new Promise(function (res, rej) { setTimeout(function () { rej(new Error("timed out")); }, 45000); })]);
            var left = H.leftovers();
            ok(left.length === 0, left.join("; "));
            console.log("ok - " + tc.name);
        } catch (e) {
            failed++;
            console.log("not ok - " + tc.name);
            String(e && e.stack || e).split("\n").slice(0, 4).forEach(function (l) { console.log("# " + l); });
        }
        await H.closeAll();
        if (process.env.PAGES_TEST_TIMES) console.log("# " + (Date.now() - started) + " ms");
    }
    fs.rmSync(H.profileRoot, { recursive: true, force: true });
    srv.close();
    console.log("# " + (ran - failed) + " passed, " + failed + " failed; screenshots in " + SHOTS);
    process.exit(failed ? 1 : 0);
}

main().catch(function (e) {
    console.log("not ok - page test runner");
    console.log("# " + String(e && e.stack || e).split("\n")[0]);
    process.exit(1);
});
