# The translated strings of a .po file (msgunfmt's output), one per line with their
# escapes undone; the header entry, the one for the empty msgid, is left out.
function flush() {
    if (have && !header) {
        gsub(/\\n/, "\n", s)
        gsub(/\\t/, "\t", s)
        gsub(/\\"/, "\"", s)
        gsub(/\\\\/, "\\", s)
        print s
    }
    have = 0
}
/^msgid / { flush(); header = ($0 == "msgid \"\""); inid = 1; next }
/^msgstr/ {
    flush()
    inid = 0; have = 1; s = $0
    sub(/^msgstr(\[[0-9]+\])? "/, "", s); sub(/"$/, "", s)
    next
}
/^"/ {
    t = $0; sub(/^"/, "", t); sub(/"$/, "", t)
    if (inid) { if (header && t != "") header = 0 }
    else if (have) s = s t
    next
}
{ flush() }
END { flush() }
