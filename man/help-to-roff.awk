# Turns help texts into roff for make-manual. The first file holds the helps, each after a marker
# line ("@@HELP" for the program's, "@@COMMAND NAME" for each command's); the second is the
# page's template.
#
# A help reads: a "Usage: ..." line, then paragraphs separated by blank lines. An unindented line
# ending in ":" is a heading; an indented "TERM  description" line (two or more blanks between)
# is an item of a list, and a deeper indented one is an item of a list inside it; a line indented
# to an item's description column goes on with that description.

FNR == NR {
    if ($0 == "@@HELP") { section = 0; next }
    if ($0 ~ /^@@COMMAND /) { section = ++commandCount; commandName[section] = substr($0, 11); next }
    lines[section, ++lineCount[section]] = $0
    next
}

# The template's own comments, before .TH, are about the template.
!begun && /^\.\\"/ { next }
!begun {
    print ".\\\" Made by make-manual from a template and the program's --help; change those, not this page."
    begun = 1
}

$0 == "@SYNOPSIS@" { synopsis(); next }
$0 == "@HELP@" { body(0); next }
$0 == "@COMMANDS@" {
    for (c = 1; c <= commandCount; c++) {
        print ".SS " commandName[c]
        usageBlock(c)
        body(c)
    }
    next
}
{
    line = $0
    keyCount = split(keys, keyList, / /)
    for (k = 1; k <= keyCount; k++) line = replaceAll(line, "@" keyList[k] "@", ENVIRON["MAKE_MANUAL_" keyList[k]])
    print line
}

# Every occurrence of the text from in line replaced by to, taken literally.
function replaceAll(line, from, to,    out, at) {
    out = ""
    while ((at = index(line, from)) > 0) {
        out = out substr(line, 1, at - 1) to
        line = substr(line, at + length(from))
    }
    return out line
}

# The text after "Usage: " on the first line of a help, or "".
function usageOf(s,    first) {
    first = lines[s, 1]
    if (first !~ /^[Uu]sage: /) return ""
    return substr(first, 8)
}

function synopsis(    s, text) {
    for (s = 0; s <= commandCount; s++) {
        text = usageOf(s)
        if (text != "") usageLine(text, s > 0)
    }
}

function usageBlock(s,    text) {
    text = usageOf(s)
    if (text != "") usageLine(text, 1)
}

# "kavrelcfg show FILE [--json]": the program (and the command) in bold, options in bold.
function usageLine(text, withCommand,    n, words, i, rest) {
    n = split(text, words, / +/)
    print ".SY " words[1]
    i = 2
    if (withCommand && n >= 2) { print ".B " words[2]; i = 3 }
    rest = ""
    for (; i <= n; i++) rest = rest (rest == "" ? "" : " ") usageWord(words[i])
    if (rest != "") print lineStart(rest)
    print ".YS"
}

# One word of a usage line: "[--model" becomes "[\fB\-\-model\fR".
function usageWord(word,    lead, core, tail) {
    lead = word; sub(/[^[(]*$/, "", lead)
    core = substr(word, length(lead) + 1)
    tail = core; sub(/^[^])]*/, "", tail)
    core = substr(core, 1, length(core) - length(tail))
    if (core ~ /^-/) return lead "\\fB" escape(core) "\\fR" escape(tail)
    return escape(word)
}

function body(s,    count, i, text, indent, state, itemIndent, descColumn, inner, innerIndent, innerColumn, term, desc, column, start) {
    count = lineCount[s]
    start = usageOf(s) != "" ? 2 : 1
    state = "none"
    inner = 0
    for (i = start; i <= count; i++) {
        text = lines[s, i]
        if (text ~ /^[ \t]*$/) {
            if (inner) { print ".RE"; inner = 0 }
            if (state == "list" || state == "para") state = "gap"
            continue
        }
        match(text, /^ */)
        indent = RLENGTH
        text = substr(text, indent + 1)
        if (indent == 0) {
            if (inner) { print ".RE"; inner = 0 }
            if (text ~ /^[A-Z][A-Za-z ]*:$/) {
                print ".SS \"" substr(text, 1, length(text) - 1) "\""
                state = "none"
                continue
            }
            if (state != "para") print ".PP"
            print lineStart(escape(text))
            state = "para"
            continue
        }
        if (state == "list" && inner && indent >= innerColumn) { print lineStart(escape(text)); continue }
        if (state == "list" && !inner && indent >= descColumn) {
            print lineStart(escape(text))
            continue
        }
        if (match(text, /  +/)) {
            term = substr(text, 1, RSTART - 1)
            desc = substr(text, RSTART + RLENGTH)
            column = indent + RSTART + RLENGTH - 1
        } else {
            term = text
            desc = ""
            column = 1000
        }
        if (state == "list" && indent > itemIndent) {
            if (!inner) { print ".RS"; inner = 1; innerIndent = indent }
            print ".TP"
            print lineStart(tag(term))
            if (desc != "") print lineStart(escape(desc))
            innerColumn = column
            continue
        }
        if (inner) { print ".RE"; inner = 0 }
        print ".TP"
        print lineStart(tag(term))
        if (desc != "") print lineStart(escape(desc))
        itemIndent = indent
        # An item whose description starts on the next line goes on at that line's indent.
        descColumn = desc != "" ? column : indent + 1
        state = "list"
    }
    if (inner) print ".RE"
}

# An item's term: its first word and every option in bold ("-o, --output FILE").
function tag(term,    n, words, i, out, word, comma) {
    n = split(term, words, / /)
    out = ""
    for (i = 1; i <= n; i++) {
        word = words[i]
        comma = ""
        if (word ~ /,$/) { comma = ","; word = substr(word, 1, length(word) - 1) }
        if (i == 1 || word ~ /^-/) word = "\\fB" escape(word) "\\fR"
        else word = escape(word)
        out = out (i > 1 ? " " : "") word comma
    }
    return out
}

# Roff escapes: a backslash; a minus sign where a word starts with "-" (an option), so that it
# prints and pastes as "-"; hyphens inside words (WIDE1-1) stay hyphens.
function escape(text,    out, i, c, option, previous) {
    out = ""
    option = 0
    previous = " "
    for (i = 1; i <= length(text); i++) {
        c = substr(text, i, 1)
        if (c == "\\") c = "\\e"
        else if (c == "-" && (option || previous ~ /[ [(|'"=]/)) { c = "\\-"; option = 1 }
        else if (c ~ /[]) |'",]/) option = 0
        previous = substr(text, i, 1)
        out = out c
    }
    return out
}

# A text line must not start with a control character of roff.
function lineStart(text) {
    if (text ~ /^[.']/) return "\\&" text
    return text
}
