# Doxygen's view of a public header: its plain line comments become
# documentation. The comment at the top of the file describes the file; a
# comment on lines of its own describes what follows it; trailing comments
# stay comments. Backslashes and angle brackets in comments (registry keys,
# placeholders) are text.
BEGIN { atTop = 1 }

/^[ \t]*\/\/([^\/]|$)/ {
    indent = $0
    sub(/\/\/.*/, "", indent)
    text = $0
    sub(/^[ \t]*\/\//, "", text)
    gsub(/\\/, "\\\\&", text)
    gsub(/</, "\\\\<", text)
    if (atTop && !fileDocumented) {
        print indent "/// \\file"
        fileDocumented = 1
    }
    print indent "///" text
    next
}

/^[ \t]*$/ || /^#pragma once/ { print; next }

{ atTop = 0; print }
