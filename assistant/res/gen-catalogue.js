#!/usr/bin/env node
// Emits the result-code catalogue from catalogue.json, the only place the
// texts are kept, as the errList object literal for NX.JS (ES3):
//   gen-catalogue.js js [catalogue.json]
// Output is UTF-8; the page build transcodes it with the script.
"use strict";
var fs = require("fs");
var path = require("path");

var HEADINGS = ["TITLE_RG", "TITLE_IE", "TITLE_CT", "TITLE_WS", "TITLE_RC",
    "TITLE_MW", "TITLE_UK", "TITLE_CS", "TITLE_CE"];
var FIELDS = ["errmsg", "fmt", "status", "btv"];

function load(file) {
    var list = JSON.parse(fs.readFileSync(file, "utf8"));
    var seen = {};
    if (!Array.isArray(list)) throw new Error("catalogue must be an array");
    list.forEach(function (e, i) {
        if (typeof e.code !== "string" || !/^[A-Z0-9_]+$/.test(e.code)) throw new Error("entry " + i + ": bad code");
        if (seen[e.code]) throw new Error("duplicate code " + e.code);
        seen[e.code] = true;
        FIELDS.forEach(function (f) {
            if (typeof e[f] !== "string") throw new Error(e.code + ": field " + f + " must be a string");
        });
        var heading = HEADINGS.indexOf(e.code) >= 0;
        if (heading ? e.status !== "" : ["0", "1", "2"].indexOf(e.status) < 0) {
            throw new Error(e.code + ": bad status '" + e.status + "'");
        }
    });
    return list;
}

function jsString(s) {
    // JSON escaping is valid ES3 except for U+2028/2029; escape those too.
    return JSON.stringify(s).replace(/\u2028/g, "\\u2028").replace(/\u2029/g, "\\u2029");
}

function emitJs(list) {
    var lines = list.map(function (e) {
        return "    " + jsString(e.code) + ": { " + FIELDS.map(function (f) {
            return f + ": " + jsString(e[f]);
        }).join(", ") + " }";
    });
    return "var errList = {\n" + lines.join(",\n") + "\n};\n";
}

function main(argv) {
    var mode = argv[2];
    var file = argv[3] || path.join(__dirname, "catalogue.json");
    var list = load(file);
    if (mode === "js") {
        process.stdout.write(emitJs(list));
    } else {
        process.stderr.write("usage: gen-catalogue.js js [catalogue.json]\n");
        return 2;
    }
    return 0;
}

try {
    process.exitCode = main(process.argv);
} catch (e) {
    process.stderr.write("gen-catalogue: " + e.message + "\n");
    process.exitCode = 1;
}
