# Reads a GNU ld map file of a PE image and prints one line per piece of the image's code and
# data: "START SIZE FILE NAME" (START and SIZE in decimal; NAME may hold blanks). A piece runs
# from a symbol to the next one in the same input section; a section's bytes before its first
# symbol are named after the section: "name" for ".text$name" (-ffunction-sections), else
# "[.text]", "[.rdata]" and so on. FILE is "LTO" for code from link-time optimisation.
function hex(s,    i, v) {
    s = tolower(s)
    sub(/^0x/, "", s)
    v = 0
    for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
    return v
}
function flush(end) {
    if (name != "" && end > start) print start, end - start, file, name
    name = ""
}
function close_section() {
    if (sec_end > 0) flush(sec_end)
    sec_end = 0
}
function open_section(secname, addr, size, obj) {
    close_section()
    pending = ""
    if (secname ~ /^\*fill\*/ || hex(size) == 0) return
    sec_start = hex(addr)
    sec_end = sec_start + hex(size)
    file = obj
    sub(/.*\//, "", file)
    if (file ~ /\.ltrans\.o$/) file = "LTO"
    start = sec_start
    name = secname
    if (!sub(/^\.(text|rdata|data)\$/, "", name)) name = "[" secname "]"
}
# An output section: only the loaded ones that hold code or data count.
/^\.[A-Za-z_]+([ \t]|$)/ {
    close_section()
    pending = ""
    wanted = $1 ~ /^\.(text|data|rdata|eh_fram|eh_frame|pdata|xdata)$/
    next
}
!wanted { next }
/^ [^ \t]+[ \t]+0x[0-9a-f]+[ \t]+0x[0-9a-f]+[ \t]+[^ \t]/ { open_section($1, $2, $3, $4); next }
/^ [^ \t]+$/ { close_section(); pending = $1; next }
pending != "" && /^[ \t]+0x[0-9a-f]+[ \t]+0x[0-9a-f]+[ \t]+[^ \t]/ {
    open_section(pending, $1, $2, $3)
    next
}
sec_end > 0 && /^[ \t]+0x[0-9a-f]+[ \t]+[^ \t0]/ {
    a = hex($1)
    # Absolute symbols (sizes, counts) and markers outside the section are not pieces.
    if (a < sec_start || a >= sec_end) next
    flush(a)
    start = a
    name = $0
    sub(/^[ \t]+0x[0-9a-f]+[ \t]+/, "", name)
    next
}
END { close_section() }
