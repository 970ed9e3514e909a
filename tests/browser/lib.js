// Small harness for the page tests: one browser, a fresh context per test,
// the stand-in host on demand, and checks that every test shares (no
// failed request, no broken image, no script error unless expected).
"use strict";
var path = require("path");
var fs = require("fs");
var chromium = require("playwright-core").chromium;
var installHost = require("./host-standin").installHost;

var CHROMIUM_ARGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
    "--disable-component-update", "--no-first-run", "--disable-sync"];

function Harness(opts) {
    this.base = opts.base;
    this.shotDir = opts.shotDir;
    this.profileRoot = opts.profileRoot;
    this.open_ = [];
}

// Each test gets its own browser with a fresh user-data-dir.
Harness.prototype.open = async function (opts) {
    opts = opts || {};
    fs.mkdirSync(this.profileRoot, { recursive: true });
    var dir = fs.mkdtempSync(path.join(this.profileRoot, "profile-"));
    var ctx = await chromium.launchPersistentContext(dir, {
        executablePath: "/usr/bin/chromium",
        args: CHROMIUM_ARGS,
        headless: true,
        viewport: { width: opts.width || 708, height: opts.height || 497 },
        locale: "zh-CN",
        timezoneId: "Asia/Shanghai"
    });
    this.open_.push({ ctx: ctx, dir: dir });
    this.pages_ = this.pages_ || [];
    if (opts.host) {
        await ctx.addInitScript(installHost, opts.host);
    }
    if (opts.initScript) {
        await ctx.addInitScript(opts.initScript.fn, opts.initScript.arg);
    }
    var page = ctx.pages()[0] || await ctx.newPage();
    var t = {
        ctx: ctx,
        page: page,
        dialogs: [],
        errors: [],
        netErrors: [],
        base: this.base
    };
    this.pages_.push(t);
    page.on("dialog", function (d) {
        t.dialogs.push({ type: d.type(), message: d.message() });
        d.dismiss().catch(function () {});
    });
    page.on("pageerror", function (e) {
        t.errors.push(String(e && e.message || e));
    });
    page.on("response", function (r) {
        if (r.status() >= 400) t.netErrors.push(r.status() + " " + r.url());
    });
    page.on("requestfailed", function (r) {
        var u = r.url();
        if (u.indexOf(t.base) === 0) t.netErrors.push("failed " + u);
    });
    if (opts.fixedTime) {
        await page.clock.setFixedTime(new Date(opts.fixedTime));
    }
    return t;
};

// Faults any test may leave behind: failed requests and script errors.
Harness.prototype.leftovers = function () {
    var out = [];
    (this.pages_ || []).forEach(function (t) {
        t.netErrors.forEach(function (e) { out.push("request: " + e); });
        t.errors.forEach(function (e) { out.push("script error: " + e); });
    });
    return out;
};

Harness.prototype.closeAll = async function () {
    var list = this.open_;
    this.open_ = [];
    this.pages_ = [];
    for (var i = 0; i < list.length; i++) {
        try {
            await list[i].ctx.close();
        } catch (e) {
        }
        fs.rmSync(list[i].dir, { recursive: true, force: true });
    }
};

Harness.prototype.shot = async function (t, name) {
    fs.mkdirSync(this.shotDir, { recursive: true });
    var file = path.join(this.shotDir, name + ".png");
    await t.page.screenshot({ path: file });
    return file;
};

// Every <img> in every frame must have loaded, and every CSS background
// image must answer 200 from the server.
async function brokenImages(t) {
    var bad = [], frames = t.page.frames(), i, list, urls = {};
    for (i = 0; i < frames.length; i++) {
        try {
            list = await frames[i].evaluate(function () {
                var out = { broken: [], bg: [] }, imgs = document.images, j, els, k, m, re = /url\("?([^")]+)"?\)/g;
                for (j = 0; j < imgs.length; j++) {
                    if (!imgs[j].complete || imgs[j].naturalWidth === 0) out.broken.push(imgs[j].getAttribute("src"));
                }
                els = document.querySelectorAll("*");
                for (k = 0; k < els.length; k++) {
                    var bgi = getComputedStyle(els[k]).backgroundImage;
                    while (bgi && (m = re.exec(bgi))) out.bg.push(m[1]);
                }
                return out;
            });
        } catch (e) {
            continue;
        }
        list.broken.forEach(function (s) { bad.push(frames[i].url() + ": img " + s); });
        list.bg.forEach(function (u) { urls[u] = true; });
    }
    for (var u in urls) {
        var r = await t.page.request.get(u);
        if (r.status() !== 200) bad.push("background " + u + " -> " + r.status());
    }
    return bad;
}

// Scroll bars of the top document and of every visible frame. A check
// page's summary list is the one box that may scroll: a full check can
// report more findings than its fixed 260-pixel frame holds.
async function scrollBars(t) {
    var out = [], frames = t.page.frames(), i;
    for (i = 0; i < frames.length; i++) {
        try {
            var r = await frames[i].evaluate(function () {
                var res = [], els, k, e, st, fe = window.frameElement;
                if (fe && (fe.offsetWidth === 0 || fe.offsetHeight === 0)) return res;
                var de = document.documentElement;
                if (de.scrollWidth > window.innerWidth || de.scrollHeight > window.innerHeight) {
                    if (getComputedStyle(document.body).overflow !== "hidden") {
                        res.push("document " + de.scrollWidth + "x" + de.scrollHeight + " in " + window.innerWidth + "x" + window.innerHeight);
                    }
                }
                els = document.querySelectorAll("*");
                for (k = 0; k < els.length; k++) {
                    e = els[k];
                    st = getComputedStyle(e);
                    if (e.offsetWidth === 0 || e.id === "summary") continue;
                    if ((st.overflowY === "auto" || st.overflowY === "scroll") && e.scrollHeight > e.clientHeight) res.push((e.id || e.tagName) + " scrolls vertically");
                    if ((st.overflowX === "auto" || st.overflowX === "scroll") && e.scrollWidth > e.clientWidth) res.push((e.id || e.tagName) + " scrolls horizontally");
                }
                return res;
            });
            r.forEach(function (s) { out.push(frames[i].url().replace(/.*\//, "") + ": " + s); });
        } catch (e) {
        }
    }
    return out;
}

// Content that would be cut off by a frame or box that hides overflow.
async function clippedContent(t) {
    var out = [], frames = t.page.frames(), i;
    for (i = 0; i < frames.length; i++) {
        try {
            var r = await frames[i].evaluate(function () {
                var fe = window.frameElement;
                if (fe && (fe.offsetWidth === 0 || fe.offsetHeight === 0)) return [];
                var de = document.documentElement;
                if (de.scrollHeight > window.innerHeight + 1 || de.scrollWidth > window.innerWidth + 1) {
                    return ["content " + de.scrollWidth + "x" + de.scrollHeight + " exceeds " + window.innerWidth + "x" + window.innerHeight];
                }
                return [];
            });
            r.forEach(function (s) { out.push(frames[i].url().replace(/.*\//, "") + ": " + s); });
        } catch (e) {
        }
    }
    return out;
}

// The frame shown by the iframe element with this id.
async function frameById(t, id) {
    var el = await t.page.$("#" + id);
    return el ? el.contentFrame() : null;
}

module.exports = {
    Harness: Harness,
    brokenImages: brokenImages,
    scrollBars: scrollBars,
    clippedContent: clippedContent,
    frameById: frameById
};
