#!/usr/bin/env node
// Expands a page source into the page itself (UTF-8 on stdout):
//   expand-page.js pages/NAME.HTM
// A source whose first line is "@template FILE" names a file of templates/
// and gives its values: "@NAME text" sets NAME to one line, a lone "@NAME"
// sets it to the lines that follow, up to the next "@NAME" line. In a
// template "{{NAME}}" is a value, a line "{{NAME}}" alone takes a value of
// several lines (or none), and a line "{{>FILE}}" alone takes another
// template file; names inside FILE are filled in first, so one value can
// choose a variant. Every value must be used and every name given: a typo
// fails the build instead of shipping a broken page. Any other source is
// the page as it stands.
"use strict";
var fs = require("fs");
var path = require("path");

var TEMPLATES = path.join(__dirname, "templates");
var DIRECTIVE = /^@([A-Z][A-Z0-9_]*)(?: (.*))?$/;
var WHOLE = /^\{\{([A-Z][A-Z0-9_]*)\}\}$/;
var INCLUDE = /^\{\{>([A-Za-z0-9_.-]+)\}\}$/;
var INLINE = /\{\{([A-Z][A-Z0-9_]*)\}\}/g;

function lines(text) {
    var list = text.split("\n");
    if (list.length > 0 && list[list.length - 1] === "") {
        list.pop();
    }
    return list;
}

// Returns { template, values } or null for a page kept as it stands.
function parseSource(text, where) {
    var list = lines(text), first = /^@template ([A-Za-z0-9_.-]+)$/.exec(list[0] || "");
    var blocks = {}, values = {}, block = null, i, m, name;
    if (!first) {
        return null;
    }
    for (i = 1; i < list.length; i++) {
        m = DIRECTIVE.exec(list[i]);
        if (m) {
            if (Object.prototype.hasOwnProperty.call(blocks, m[1])) {
                throw new Error(where + ":" + (i + 1) + ": " + m[1] + " given twice");
            }
            blocks[m[1]] = m[2] !== undefined ? [m[2]] : [];
            block = m[2] !== undefined ? null : m[1];
        } else if (block !== null) {
            blocks[block].push(list[i]);
        } else {
            throw new Error(where + ":" + (i + 1) + ": text outside a value");
        }
    }
    for (name in blocks) {
        values[name] = blocks[name].join("\n");
    }
    return { template: first[1], values: values };
}

function value(values, used, name, where) {
    if (!Object.prototype.hasOwnProperty.call(values, name)) {
        throw new Error(where + ": no value for " + name);
    }
    used[name] = true;
    return values[name];
}

function expandFile(file, values, used, depth) {
    var where = "templates/" + file, out = [], list, i, m, line, v;
    if (depth > 8) {
        throw new Error(where + ": templates include each other too deeply");
    }
    list = lines(fs.readFileSync(path.join(TEMPLATES, file), "utf8"));
    for (i = 0; i < list.length; i++) {
        line = list[i];
        m = WHOLE.exec(line);
        if (m) {
            v = value(values, used, m[1], where + ":" + (i + 1));
            if (v !== "") {
                out.push(v);
            }
            continue;
        }
        line = line.replace(INLINE, function (all, name) {
            var s = value(values, used, name, where + ":" + (i + 1));
            if (s.indexOf("\n") >= 0) {
                throw new Error(where + ":" + (i + 1) + ": " + name + " has several lines, it must stand alone");
            }
            return s;
        });
        m = INCLUDE.exec(line);
        if (m) {
            out.push(expandFile(m[1], values, used, depth + 1));
            continue;
        }
        if (line.indexOf("{{") >= 0) {
            throw new Error(where + ":" + (i + 1) + ": malformed placeholder");
        }
        out.push(line);
    }
    return out.join("\n");
}

function expandSource(file) {
    var text = fs.readFileSync(file, "utf8"), src = parseSource(text, path.basename(file));
    var used = {}, out, name;
    if (!src) {
        return text;
    }
    out = expandFile(src.template, src.values, used, 0) + "\n";
    for (name in src.values) {
        if (!used[name]) {
            throw new Error(path.basename(file) + ": " + name + " is not used by " + src.template);
        }
    }
    return out;
}

module.exports = { expandSource: expandSource };

if (require.main === module) {
    if (process.argv.length !== 3) {
        process.stderr.write("usage: expand-page.js PAGE_SOURCE\n");
        process.exit(2);
    }
    try {
        process.stdout.write(expandSource(process.argv[2]));
    } catch (e) {
        process.stderr.write("expand-page: " + e.message + "\n");
        process.exit(1);
    }
}
