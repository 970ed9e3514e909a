#!/usr/bin/env node
// Draws every image of the assistant's pages from SVG with headless Chromium
// and writes the PNG files (and LOADING.GIF, assembled by ImageMagick) next
// to this script. The results are committed; run this only to change them:
//   (cd tests/browser && npm install) && node assistant/res/images/draw-images.js
"use strict";
var path = require("path");
var fs = require("fs");
var execFileSync = require("child_process").execFileSync;
var chromium = require(path.join(__dirname, "../../../tests/browser/node_modules/playwright-core")).chromium;

var OUT = __dirname;
var FONT = "'WenQuanYi Micro Hei', Tahoma, sans-serif";

function svg(w, h, body, defs) {
    return '<svg xmlns="http://www.w3.org/2000/svg" width="' + w + '" height="' + h + '" viewBox="0 0 ' + w + " " + h + '">' +
        "<defs>" + (defs || "") + "</defs>" + body + "</svg>";
}

function grad(id, stops, vertical) {
    var s = '<linearGradient id="' + id + '" x1="0" y1="0" x2="' + (vertical === false ? 1 : 0) + '" y2="' + (vertical === false ? 0 : 1) + '">';
    stops.forEach(function (st) { s += '<stop offset="' + st[0] + '" stop-color="' + st[1] + '"' + (st[2] !== undefined ? ' stop-opacity="' + st[2] + '"' : "") + "/>"; });
    return s + "</linearGradient>";
}

/* ---------- glyphs (drawn in a 24 x 24 box) ---------- */

var GLYPHS = {
    home: '<path d="M3 11.5 L12 4 L21 11.5" fill="none" stroke="#fff" stroke-width="2.2" stroke-linecap="round" stroke-linejoin="round"/>' +
        '<path d="M6 10.5 V20 H10 V14.5 H14 V20 H18 V10.5" fill="none" stroke="#fff" stroke-width="2" stroke-linejoin="round"/>',
    gear: '<g fill="none" stroke="#fff" stroke-width="2"><circle cx="12" cy="12" r="3.2"/>' +
        '<path d="M12 2.8 L13.6 5.2 L16.4 4.4 L16.9 7.2 L19.6 8 L18.8 10.7 L21 12.5 L18.8 14.2 L19.6 16.9 L16.9 17.6 L16.4 20.4 L13.6 19.6 L12 22 L10.4 19.6 L7.6 20.4 L7.1 17.6 L4.4 16.9 L5.2 14.2 L3 12.5 L5.2 10.7 L4.4 8 L7.1 7.2 L7.6 4.4 L10.4 5.2 Z" stroke-linejoin="round"/></g>',
    help: '<circle cx="12" cy="12" r="9.2" fill="none" stroke="#fff" stroke-width="2"/>' +
        '<path d="M9.2 9.4 C9.2 7.6 10.5 6.6 12.1 6.6 C13.8 6.6 15 7.7 15 9.2 C15 11.4 12.2 11.6 12.2 14" fill="none" stroke="#fff" stroke-width="2" stroke-linecap="round"/>' +
        '<circle cx="12.2" cy="17.3" r="1.3" fill="#fff"/>',
    link: '<g fill="none" stroke="#fff" stroke-width="2.2" stroke-linecap="round">' +
        '<path d="M10.5 13.5 L13.5 10.5"/><path d="M9 11 L6.6 13.4 A3.3 3.3 0 0 0 11.2 18 L13.6 15.6"/>' +
        '<path d="M15 13 L17.4 10.6 A3.3 3.3 0 0 0 12.8 6 L10.4 8.4"/></g>',
    bank: '<path d="M3 9 L12 4 L21 9 Z" fill="#fff"/><rect x="4" y="18" width="16" height="2.4" fill="#fff"/>' +
        '<g fill="#fff"><rect x="5.5" y="10.5" width="2.2" height="6.5"/><rect x="10.9" y="10.5" width="2.2" height="6.5"/><rect x="16.3" y="10.5" width="2.2" height="6.5"/></g>',
    user: '<circle cx="12" cy="8.2" r="4" fill="#fff"/><path d="M4.5 20.5 C5 15.5 8 13.6 12 13.6 C16 13.6 19 15.5 19.5 20.5 Z" fill="#fff"/>',
    building: '<path d="M5 20.5 V5 H14 V20.5 M14 9.5 H19 V20.5" fill="none" stroke="#fff" stroke-width="2" stroke-linejoin="round"/>' +
        '<g fill="#fff"><rect x="7.5" y="7.5" width="1.8" height="1.8"/><rect x="10.3" y="7.5" width="1.8" height="1.8"/><rect x="7.5" y="11" width="1.8" height="1.8"/><rect x="10.3" y="11" width="1.8" height="1.8"/><rect x="7.5" y="14.5" width="1.8" height="1.8"/><rect x="10.3" y="14.5" width="1.8" height="1.8"/><rect x="15.8" y="12.5" width="1.6" height="1.6"/><rect x="15.8" y="15.5" width="1.6" height="1.6"/></g>' +
        '<rect x="3" y="20" width="18" height="1.6" fill="#fff"/>',
    cert: '<rect x="3.5" y="4.5" width="17" height="12.5" rx="1.5" fill="none" stroke="#fff" stroke-width="1.8"/>' +
        '<path d="M6.5 8.3 H15 M6.5 11.3 H12" stroke="#fff" stroke-width="1.6" stroke-linecap="round"/>' +
        '<circle cx="16.5" cy="15.5" r="3" fill="#fff"/><path d="M15 18 L14.2 22 L16.5 20.7 L18.8 22 L18 18" fill="#fff"/>',
    star: '<path d="M12 3.5 L14.5 9 L20.5 9.6 L16 13.6 L17.3 19.6 L12 16.5 L6.7 19.6 L8 13.6 L3.5 9.6 L9.5 9 Z" fill="#fff"/>',
    shield: '<path d="M12 3 L19.5 6 V11.5 C19.5 16 16.3 19.5 12 21 C7.7 19.5 4.5 16 4.5 11.5 V6 Z" fill="none" stroke="#fff" stroke-width="2" stroke-linejoin="round"/>' +
        '<path d="M8.5 12 L11 14.5 L15.8 9.6" fill="none" stroke="#fff" stroke-width="2.2" stroke-linecap="round" stroke-linejoin="round"/>',
    receipt: '<path d="M6 3.5 H18 V20.5 L16 19 L14 20.5 L12 19 L10 20.5 L8 19 L6 20.5 Z" fill="none" stroke="#fff" stroke-width="1.8" stroke-linejoin="round"/>' +
        '<path d="M9 8 H15 M9 11 H15 M9 14 H13" stroke="#fff" stroke-width="1.6" stroke-linecap="round"/>'
};

function glyph(name, x, y, size) {
    return '<g transform="translate(' + x + " " + y + ") scale(" + (size / 24) + ')">' + GLYPHS[name] + "</g>";
}

/* ---------- tool-bar buttons 80 x 40 ---------- */

function toolButton(icon, label, hover) {
    var defs = grad("hv", [[0, "#ffffff", 0.42], [0.5, "#ffffff", 0.16], [1, "#ffffff", 0.30]]);
    var body = "";
    if (hover) {
        body += '<rect x="0.5" y="0.5" width="79" height="39" rx="5" fill="url(#hv)" stroke="#ffffff" stroke-opacity="0.65"/>' +
            '<rect x="1.5" y="1.5" width="77" height="18" rx="4" fill="#ffffff" fill-opacity="0.18"/>';
    }
    body += glyph(icon, 29, 2, 22);
    body += '<text x="40" y="36" text-anchor="middle" font-family="' + FONT + '" font-size="12" fill="#ffffff"' +
        (hover ? ' font-weight="bold"' : "") + ">" + label + "</text>";
    return svg(80, 40, body, defs);
}

/* ---------- check and repair buttons 109 x 37 ---------- */

function bigButton(top, bottom, edge) {
    var defs = grad("g", [[0, top], [1, bottom]]) + grad("gl", [[0, "#ffffff", 0.55], [1, "#ffffff", 0.05]]);
    return svg(109, 37,
        '<rect x="0.5" y="0.5" width="108" height="36" rx="6" fill="url(#g)" stroke="' + edge + '"/>' +
        '<rect x="2" y="2" width="105" height="16" rx="5" fill="url(#gl)"/>' +
        '<rect x="0.5" y="35" width="108" height="1.5" rx="1" fill="#000" fill-opacity="0.12"/>', defs);
}

/* ---------- tabs 94 x 33 ---------- */

function tab(selected) {
    var defs = selected ? grad("t", [[0, "#ffffff"], [1, "#ffffff"]]) : grad("t", [[0, "#f4f9fe"], [1, "#d9e9f8"]]);
    return svg(94, 33,
        '<path d="M0.5 33 V6 Q0.5 0.5 6 0.5 H88 Q93.5 0.5 93.5 6 V33" fill="url(#t)" stroke="' + (selected ? "#9cc4ea" : "#b9d3ec") + '"/>' +
        (selected ? '<rect x="3" y="1" width="88" height="3" rx="1.5" fill="#1f74cc"/><rect x="1" y="32" width="92" height="1" fill="#ffffff"/>' :
            '<rect x="1" y="32" width="92" height="1" fill="#9cc4ea"/>'), defs);
}

/* ---------- answer-box pieces (6 x 6) ---------- */

var EDGE = "#b9d7f3", FILL = "#f7fbff";
function corner(rot) {
    return svg(6, 6, '<g transform="rotate(' + rot + ' 3 3)"><path d="M6 0.5 H5.5 Q0.5 0.5 0.5 5.5 V6 H6 Z" fill="' + FILL + '"/>' +
        '<path d="M6 0.5 H5.5 Q0.5 0.5 0.5 5.5 V6" fill="none" stroke="' + EDGE + '"/></g>');
}
function edge(rot) {
    return svg(6, 6, '<g transform="rotate(' + rot + ' 3 3)"><rect x="0" y="0" width="6" height="6" fill="' + FILL + '"/>' +
        '<rect x="0" y="0" width="6" height="1" fill="' + EDGE + '"/></g>');
}

/* ---------- status and marker icons 16 x 16 ---------- */

function okIcon() {
    return svg(16, 16, '<circle cx="8" cy="8" r="7.3" fill="url(#g)" stroke="#17802a" stroke-width="0.8"/>' +
        '<path d="M4.6 8.3 L7 10.7 L11.6 5.7" fill="none" stroke="#fff" stroke-width="1.9" stroke-linecap="round" stroke-linejoin="round"/>',
        grad("g", [[0, "#62d46f"], [1, "#1f9b34"]]));
}
function warningIcon() {
    return svg(16, 16, '<path d="M8 1.2 L15.2 14.3 H0.8 Z" fill="url(#g)" stroke="#c07a00" stroke-width="0.9" stroke-linejoin="round"/>' +
        '<rect x="7.1" y="5.3" width="1.8" height="5" rx="0.9" fill="#fff"/><circle cx="8" cy="12.2" r="1" fill="#fff"/>',
        grad("g", [[0, "#ffd24a"], [1, "#f29a00"]]));
}
function errorIcon(square) {
    var shape = square ? '<rect x="0.8" y="0.8" width="14.4" height="14.4" rx="3" fill="url(#g)" stroke="#a81616" stroke-width="0.8"/>' :
        '<circle cx="8" cy="8" r="7.3" fill="url(#g)" stroke="#a81616" stroke-width="0.8"/>';
    return svg(16, 16, shape + '<path d="M5.3 5.3 L10.7 10.7 M10.7 5.3 L5.3 10.7" stroke="#fff" stroke-width="1.9" stroke-linecap="round"/>',
        grad("g", [[0, "#ff6b5f"], [1, "#d42020"]]));
}
function starIcon() {
    return svg(16, 16, '<path d="M8 1 L10 5.6 L15 6.1 L11.2 9.4 L12.3 14.4 L8 11.8 L3.7 14.4 L4.8 9.4 L1 6.1 L6 5.6 Z" fill="url(#g)" stroke="#d08a00" stroke-width="0.8" stroke-linejoin="round"/>',
        grad("g", [[0, "#ffe067"], [1, "#ffae00"]]));
}
function infoIcon() {
    return svg(16, 16, '<circle cx="8" cy="8" r="7.3" fill="url(#g)" stroke="#1a5fae" stroke-width="0.8"/>' +
        '<circle cx="8" cy="4.6" r="1.1" fill="#fff"/><rect x="7.05" y="6.6" width="1.9" height="5.6" rx="0.9" fill="#fff"/>',
        grad("g", [[0, "#5aa8f0"], [1, "#1c68c0"]]));
}

/* ---------- large tip icon 64 x 64 ---------- */

function tipIcon() {
    var defs = grad("s", [[0, "#59a9f2"], [1, "#1258b0"]]) + grad("h", [[0, "#ffffff", 0.5], [1, "#ffffff", 0]]) +
        grad("m", [[0, "#ffffff"], [1, "#d8e8f8"]]);
    return svg(64, 64,
        '<ellipse cx="32" cy="60" rx="20" ry="3" fill="#002982" fill-opacity="0.12"/>' +
        '<path d="M30 4 L52 12 V28 C52 42 42.5 51.5 30 56 C17.5 51.5 8 42 8 28 V12 Z" fill="url(#s)" stroke="#0d4a96" stroke-width="1.2" stroke-linejoin="round"/>' +
        '<path d="M30 7.5 L49 14.4 V26 C40 27 20 22 11 26 V14.4 Z" fill="url(#h)"/>' +
        '<path d="M19.5 29.5 L27 37 L41 22.5" fill="none" stroke="#fff" stroke-width="4.5" stroke-linecap="round" stroke-linejoin="round"/>' +
        '<circle cx="46" cy="45" r="9" fill="url(#m)" stroke="#f29a00" stroke-width="3"/>' +
        '<path d="M52.5 51.5 L59 58" stroke="#f29a00" stroke-width="4.5" stroke-linecap="round"/>' +
        '<path d="M42 42 A5 5 0 0 1 47 40" fill="none" stroke="#ffffff" stroke-width="1.6" stroke-linecap="round"/>', defs);
}

/* ---------- shortcut tiles 300 x 70 ---------- */

function shortcutTile(icon, title, sub, c1, c2) {
    var defs = grad("bg", [[0, c1], [1, c2]], false) + grad("gl", [[0, "#ffffff", 0.35], [1, "#ffffff", 0]]);
    return svg(300, 70,
        '<rect x="0.5" y="0.5" width="299" height="69" rx="7" fill="url(#bg)" stroke="' + c2 + '"/>' +
        '<path d="M1 8 Q1 1 8 1 H292 Q299 1 299 8 V30 C210 38 90 20 1 34 Z" fill="url(#gl)"/>' +
        '<circle cx="270" cy="58" r="38" fill="#ffffff" fill-opacity="0.08"/><circle cx="296" cy="6" r="22" fill="#ffffff" fill-opacity="0.07"/>' +
        '<circle cx="37" cy="35" r="23" fill="#ffffff" fill-opacity="0.22" stroke="#ffffff" stroke-opacity="0.6"/>' +
        glyph(icon, 21, 19, 32) +
        '<text x="74" y="33" font-family="' + FONT + '" font-size="19" font-weight="bold" fill="#ffffff">' + title + "</text>" +
        '<text x="75" y="53" font-family="' + FONT + '" font-size="12" fill="#ffffff" fill-opacity="0.88">' + sub + "</text>" +
        '<path d="M273 29 L281 35 L273 41" fill="none" stroke="#fff" stroke-width="2.6" stroke-linecap="round" stroke-linejoin="round"/>', defs);
}

/* ---------- page background 708 x 497 ---------- */

function background() {
    var defs = grad("ban", [[0, "#2c8be0"], [0.55, "#145fb8"], [1, "#0c4a99"]]) +
        grad("body", [[0, "#e3eff9"], [1, "#f1f7fc"]]) +
        grad("shine", [[0, "#ffffff", 0.22], [1, "#ffffff", 0]]) +
        '<radialGradient id="logo" cx="0.35" cy="0.3" r="0.8"><stop offset="0" stop-color="#ffd45c"/><stop offset="1" stop-color="#f08c00"/></radialGradient>';
    return svg(708, 497,
        '<rect width="708" height="497" fill="url(#body)"/>' +
        '<rect width="708" height="58" fill="url(#ban)"/>' +
        '<rect width="708" height="26" fill="url(#shine)"/>' +
        '<path d="M300 58 C420 20 560 70 708 8 V58 Z" fill="#ffffff" fill-opacity="0.07"/>' +
        '<path d="M380 58 C480 34 600 60 708 30 V58 Z" fill="#ffffff" fill-opacity="0.06"/>' +
        '<rect y="57" width="708" height="1" fill="#0a3d80"/><rect y="58" width="708" height="2" fill="#7fb6ea" fill-opacity="0.6"/>' +
        '<circle cx="524" cy="29" r="15" fill="url(#logo)" stroke="#ffffff" stroke-width="1.5"/>' +
        '<path d="M516 35 L521 24 L525 31 L528 27 L533 35 Z" fill="#ffffff"/>' +
        '<text x="546" y="27" font-family="' + FONT + '" font-size="18" font-weight="bold" fill="#ffffff">岚川银行网银助手</text>' +
        '<text x="547" y="44" font-family="Tahoma, sans-serif" font-size="9.5" fill="#cfe4fa" letter-spacing="0.6">LCCB E-BANKING ASSISTANT</text>' +
        '<rect x="12.5" y="94.5" width="683" height="394" rx="4" fill="#ffffff" stroke="#c3dbf1"/>', defs);
}

function footerBg() {
    return svg(708, 30, '<rect width="708" height="30" fill="url(#f)"/><rect width="708" height="1" fill="#c3dbf1"/>',
        grad("f", [[0, "#f1f7fc"], [1, "#d6e7f6"]]));
}

function contentMain() {
    return svg(667, 360, '<rect x="0.5" y="0.5" width="666" height="359" rx="4" fill="url(#c)" stroke="#d0ecff"/>',
        grad("c", [[0, "#ffffff"], [1, "#f3f9fd"]]));
}

/* ---------- busy indicator frames 16 x 16 ---------- */

function spinnerFrame(step) {
    var body = '<rect width="16" height="16" fill="#ffffff"/>', i, a, op;
    for (i = 0; i < 8; i++) {
        a = (i * 45 - 90) * Math.PI / 180;
        op = [1, 0.82, 0.66, 0.52, 0.4, 0.3, 0.22, 0.16][(step - i + 8) % 8];
        body += '<circle cx="' + (8 + 5.6 * Math.cos(a)).toFixed(2) + '" cy="' + (8 + 5.6 * Math.sin(a)).toFixed(2) +
            '" r="1.7" fill="#1f68c8" fill-opacity="' + op + '"/>';
    }
    return svg(16, 16, body);
}

var IMAGES = [
    ["BG.PNG", background()],
    ["FOOTER_BG.PNG", footerBg()],
    ["CONTENT_MAIN.PNG", contentMain()],
    ["BTN_HOME_NORMAL.PNG", toolButton("home", "首页", false)],
    ["BTN_HOME_HOVER.PNG", toolButton("home", "首页", true)],
    ["BTN_ADVANCE_NORMAL.PNG", toolButton("gear", "高级", false)],
    ["BTN_ADVANCE_HOVER.PNG", toolButton("gear", "高级", true)],
    ["BTN_HELP_NORMAL.PNG", toolButton("help", "帮助", false)],
    ["BTN_HELP_HOVER.PNG", toolButton("help", "帮助", true)],
    ["BTN_LOGIN_NORMAL.PNG", toolButton("link", "快捷链接", false)],
    ["BTN_LOGIN_HOVER.PNG", toolButton("link", "快捷链接", true)],
    ["BTN_CHECK.PNG", bigButton("#4aa3f0", "#155fbf", "#0f4f9f")],
    ["BTN_FIX.PNG", bigButton("#ffb347", "#ea7300", "#c45f00")],
    ["TAB_NORMAL.PNG", tab(false)],
    ["TAB_SELECT.PNG", tab(true)],
    ["CONTENT_LT.PNG", corner(0)],
    ["CONTENT_RT.PNG", corner(90)],
    ["CONTENT_RB.PNG", corner(180)],
    ["CONTENT_LB.PNG", corner(270)],
    ["CONTENT_T.PNG", edge(0)],
    ["CONTENT_R.PNG", edge(90)],
    ["CONTENT_B.PNG", edge(180)],
    ["CONTENT_L.PNG", edge(270)],
    ["ICON_OK.PNG", okIcon()],
    ["ICON_WARNING.PNG", warningIcon()],
    ["ICON_ERROR.PNG", errorIcon(false)],
    ["ICON_ERROR_1.PNG", errorIcon(true)],
    ["ICON_STAR.PNG", starIcon()],
    ["INFORMATION.PNG", infoIcon()],
    ["TIPICON_01.PNG", tipIcon()],
    ["SC1.PNG", shortcutTile("bank", "岚川银行主页", "银行资讯 · 产品服务 · 网点查询", "#2f8fe6", "#1457b0")],
    ["SC2.PNG", shortcutTile("user", "个人网银大众版", "查询转账 · 缴费充值 · 无需证书", "#22b3a6", "#0e7f86")],
    ["SC3.PNG", shortcutTile("shield", "个人网银专业版", "USBKey保护 · 大额转账 · 投资理财", "#6b6fe0", "#3d3fae")],
    ["SC4.PNG", shortcutTile("building", "企业网银登录", "企业账户管理 · 代发代扣 · 票据业务", "#f0963a", "#c9610d")],
    ["SC5.PNG", shortcutTile("cert", "CFCA证书下载", "新证书下载 · 证书到期更换", "#e0577a", "#b02a50")],
    ["SC6.PNG", shortcutTile("receipt", "电子回单验证", "核验电子回单的真实性", "#4ea85a", "#267a34")]
];

async function main() {
    var browser = await chromium.launch({
        executablePath: "/usr/bin/chromium",
        args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
            "--disable-component-update", "--no-first-run", "--disable-sync"]
    });
    var page = await browser.newPage({ viewport: { width: 800, height: 600 } });
    async function render(markup, file) {
        var m = /width="(\d+)" height="(\d+)"/.exec(markup);
        await page.setContent('<html><body style="margin:0;background:transparent">' + markup + "</body></html>");
        await page.evaluate(function () { return document.fonts.ready; });
        await page.screenshot({ path: file, omitBackground: true, clip: { x: 0, y: 0, width: +m[1], height: +m[2] } });
    }
    var i, tmp = fs.mkdtempSync(path.join(require("os").tmpdir(), "spin-")), frames = [];
    for (i = 0; i < IMAGES.length; i++) {
        await render(IMAGES[i][1], path.join(OUT, IMAGES[i][0]));
    }
    for (i = 0; i < 8; i++) {
        frames.push(path.join(tmp, "f" + i + ".png"));
        await render(spinnerFrame(i), frames[i]);
    }
    await browser.close();
    execFileSync("convert", ["-delay", "10", "-loop", "0"].concat(frames).concat(["-layers", "Optimize", path.join(OUT, "LOADING.GIF")]));
    fs.rmSync(tmp, { recursive: true, force: true });
    // Strip time stamps so an unchanged drawing gives unchanged files.
    IMAGES.forEach(function (img) {
        execFileSync("convert", [path.join(OUT, img[0]), "-strip", path.join(OUT, img[0])]);
    });
    process.stdout.write("drew " + (IMAGES.length + 1) + " images\n");
}

main().catch(function (e) { process.stderr.write(String(e && e.stack || e) + "\n"); process.exit(1); });
