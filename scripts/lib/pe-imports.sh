# The import table of a Windows binary as `objdump -p` prints it, read once for
# scripts/check-imports and scripts/measure-size. Sourced.

# Prints a line "DLL" for each DLL that the import table of EXE names, in the table's order,
# followed by a line "DLL FUNCTION" for each function imported from it by name.
pe_imports() {
    i686-w64-mingw32-objdump -p "$1" | awk '
        /^\tDLL Name: / { dll = $3; print dll; next }
        dll != "" && /^\t[ \t]*[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print dll, $3 }'
}
