// compile.mjs - compiles the Keyman form `wendol keyman` writes with Keyman's
// own compilers (kmc-kmn, kmc-package), driven through their module API since
// their command-line front end is not published on the registry.
//
//   node tools/keyman/compile.mjs keyboard SRC.kmn OUTDIR
//       OUTDIR/NAME.kmx (desktop) and, when &TARGETS names a web or touch
//       target, OUTDIR/NAME.js, built with the touch layout &LAYOUTFILE names.
//   node tools/keyman/compile.mjs package SRC.kps OUT.kmp
//       the package: the files the .kps lists (paths relative to the .kps),
//       with kmp.json and kmp.inf made from its metadata.
//
// Every message the compilers report is printed on stderr.  A message's code
// carries its severity in bits 20-23 (CompilerErrorMask.Severity): info 0,
// hint 1, warning 2, error 3, fatal 4.  Our keyboards compile clean, so a
// hint or anything worse fails the run: nothing is written and the exit code
// is 1.  Info messages are printed and do not count.  Exit code 2: bad usage.
//
// The outputs are the same bytes on every run.  The .kmx and .js carry no
// date; we leave out the compiler's version store (shouldAddCompilerVersion
// false) so a compiler update alone does not change the .kmx.  The .kmp is
// a zip whose entries JSZip stamps with the time of the run: we set every
// entry's time to SOURCE_DATE_EPOCH when it is set, else to 1980-01-01
// 00:00, the first time a zip can hold.  See README.md for the .kps form.

import * as fs from 'node:fs';
import * as path from 'node:path';
import { CompilerError, CompilerErrorSeverity } from '@keymanapp/common-types';
import { KmnCompiler } from '@keymanapp/kmc-kmn';
import { KmpCompiler } from '@keymanapp/kmc-package';

const USAGE = `usage: node compile.mjs keyboard SRC.kmn OUTDIR
       node compile.mjs package SRC.kps OUT.kmp`;

// The options both compilers get; neither reads the others.
const OPTIONS = {
    saveDebug: false,
    shouldAddCompilerVersion: false,
    compilerWarningsAsErrors: false,
    warnDeprecatedCode: true,
    checkFilenameConventions: true,
};

// File access for the compilers, which touch no file themselves, and the
// list of what they reported.
class Callbacks {
    messages = [];

    loadFile(filename) {
        try {
            return fs.readFileSync(filename);
        } catch (e) {
            if (e.code === 'ENOENT') return undefined;
            throw e;
        }
    }

    fileSize(filename) {
        try {
            return fs.statSync(filename).size;
        } catch {
            return undefined;
        }
    }

    get path() { return path; }
    get fs() { return fs; }

    // A name in a source file is relative to that file's folder; older
    // sources separate folders with backslashes.
    resolveFilename(baseFilename, filename) {
        const base = /[\\/]$/.test(baseFilename) ? baseFilename : path.dirname(baseFilename);
        return path.resolve(base, filename.replaceAll('\\', '/'));
    }

    reportMessage(event) {
        this.messages.push(event);
        console.error(formatMessage(event));
    }

    debug(msg) {
        console.error(`debug: ${msg}`);
    }

    failures() {
        return this.messages.filter(isFailure);
    }
}

function isFailure(event) {
    return CompilerError.severity(event.code) >= CompilerErrorSeverity.Hint;
}

// "wendol_toy.kmn:12: warning KM02084: ..." - the place first, as a
// compiler's messages are read.
function formatMessage(event) {
    const place = event.filename
        ? `${event.filename}${event.line ? `:${event.line}` : ''}: `
        : '';
    const severity = CompilerError.formatSeverity(event.code);
    return `${place}${severity} ${CompilerError.formatCode(event.code)}: ${event.message}`;
}

class CompileFailure extends Error {}

// Runs one compiler to the end and hands back its artifacts, or throws with
// the count of what stopped it.
async function runCompiler(compiler, source, output) {
    const callbacks = new Callbacks();
    if (!await compiler.init(callbacks, OPTIONS)) {
        throw new CompileFailure(`the compiler for ${source} could not start`);
    }
    let result;
    try {
        result = await compiler.run(source, output);
    } catch (e) {
        // kmc-package reads some elements without looking first (a .kps with
        // no <Info> throws a TypeError): say which file it was.
        throw new CompileFailure(`the compiler stopped on ${source}: ${e.message}`);
    }
    const failures = callbacks.failures();
    if (!result) {
        throw new CompileFailure(`${source} does not compile`);
    }
    if (failures.length > 0) {
        throw new CompileFailure(
            `${source}: ${failures.length} hint(s), warning(s) or error(s); nothing written`);
    }
    return result.artifacts;
}

function requireFile(name, what) {
    if (!fs.existsSync(name)) {
        throw new CompileFailure(`no ${what} ${name}`);
    }
}

async function compileKeyboard(source, outDir) {
    requireFile(source, 'keyboard source');
    if (!source.endsWith('.kmn')) {
        throw new CompileFailure(`${source}: a keyboard source ends in .kmn`);
    }
    fs.mkdirSync(outDir, { recursive: true });
    const kmx = path.join(outDir, path.basename(source, '.kmn') + '.kmx');
    const compiler = new KmnCompiler();
    const artifacts = await runCompiler(compiler, source, kmx);
    await compiler.write(artifacts);
    for (const artifact of [artifacts.kmx, artifacts.kvk, artifacts.js]) {
        if (artifact) console.log(artifact.filename);
    }
}

async function compilePackage(source, output) {
    requireFile(source, 'package source');
    fs.mkdirSync(path.dirname(output), { recursive: true });
    const compiler = new KmpCompiler();
    const artifacts = await runCompiler(compiler, source, output);
    artifacts.kmp.data = stampZipEntries(artifacts.kmp.data, fixedZipTime());
    await compiler.write(artifacts);
    console.log(artifacts.kmp.filename);
}

// The time every entry of the .kmp carries, as a zip's MS-DOS time and date.
// The zip holds no time zone; we write the UTC time.
function fixedZipTime() {
    const epoch = process.env.SOURCE_DATE_EPOCH;
    if (epoch === undefined || epoch === '') {
        return { time: 0, date: (0 << 9) | (1 << 5) | 1 };
    }
    if (!/^\d+$/.test(epoch)) {
        throw new CompileFailure(`SOURCE_DATE_EPOCH is not a count of seconds: ${epoch}`);
    }
    const t = new Date(Number(epoch) * 1000);
    const year = t.getUTCFullYear();
    if (year < 1980 || year > 2107) {
        throw new CompileFailure(`SOURCE_DATE_EPOCH ${epoch} is outside the years a zip can hold (1980-2107)`);
    }
    return {
        time: (t.getUTCHours() << 11) | (t.getUTCMinutes() << 5) | (t.getUTCSeconds() >> 1),
        date: ((year - 1980) << 9) | ((t.getUTCMonth() + 1) << 5) | t.getUTCDate(),
    };
}

// Zip records and where their time and date fields sit.  The CRCs cover only
// the entries' data, so the stamp changes nothing else.
const ZIP = {
    endOfDirectory: { signature: 0x06054b50, size: 22, entries: 10, directoryOffset: 16 },
    directoryEntry: {
        signature: 0x02014b50, size: 46, time: 12, nameLength: 28, extraLength: 30,
        commentLength: 32, localOffset: 42,
    },
    localHeader: { signature: 0x04034b50, size: 30, time: 10 },
};

// Sets every entry's time and date, in the central directory and in its
// local header.  JSZip writes no extended-time fields, so these are the only
// times the archive holds; an extra field we do not know stops the run rather
// than leave a time behind.
function stampZipEntries(bytes, { time, date }) {
    const zip = Buffer.from(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const end = zip.length - ZIP.endOfDirectory.size;
    if (end < 0 || zip.readUInt32LE(end) !== ZIP.endOfDirectory.signature) {
        throw new CompileFailure('the package is not a zip without a comment, as JSZip writes it');
    }
    const entries = zip.readUInt16LE(end + ZIP.endOfDirectory.entries);
    let at = zip.readUInt32LE(end + ZIP.endOfDirectory.directoryOffset);
    const d = ZIP.directoryEntry;
    for (let i = 0; i < entries; i++) {
        if (zip.readUInt32LE(at) !== d.signature) {
            throw new CompileFailure(`the package's zip directory is broken at entry ${i}`);
        }
        const extraLength = zip.readUInt16LE(at + d.extraLength);
        const nameLength = zip.readUInt16LE(at + d.nameLength);
        checkExtraFields(zip, at + d.size + nameLength, extraLength);
        zip.writeUInt16LE(time, at + d.time);
        zip.writeUInt16LE(date, at + d.time + 2);
        const local = zip.readUInt32LE(at + d.localOffset);
        if (zip.readUInt32LE(local) !== ZIP.localHeader.signature) {
            throw new CompileFailure(`the package's zip entry ${i} has no local header`);
        }
        zip.writeUInt16LE(time, local + ZIP.localHeader.time);
        zip.writeUInt16LE(date, local + ZIP.localHeader.time + 2);
        at += d.size + nameLength + extraLength + zip.readUInt16LE(at + d.commentLength);
    }
    return new Uint8Array(zip.buffer, zip.byteOffset, zip.byteLength);
}

// Extra fields with no time in them: Info-ZIP's Unicode path and comment,
// which JSZip adds for names beyond ASCII.
const TIMELESS_EXTRA_FIELDS = new Set([0x7075, 0x6375]);

function checkExtraFields(zip, start, length) {
    for (let at = start; at + 4 <= start + length; at += 4 + zip.readUInt16LE(at + 2)) {
        const id = zip.readUInt16LE(at);
        if (!TIMELESS_EXTRA_FIELDS.has(id)) {
            throw new CompileFailure(`the package's zip has an extra field 0x${id.toString(16)} that may hold a time`);
        }
    }
}

const COMMANDS = { keyboard: compileKeyboard, package: compilePackage };

async function main(args) {
    const command = COMMANDS[args[0]];
    if (!command || args.length !== 3) {
        console.error(USAGE);
        return 2;
    }
    try {
        await command(args[1], args[2]);
        return 0;
    } catch (e) {
        if (!(e instanceof CompileFailure)) throw e;
        console.error(`compile.mjs: ${e.message}`);
        return 1;
    }
}

process.exitCode = await main(process.argv.slice(2));
