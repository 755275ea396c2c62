# Writes the launcher entry VELLUMBY_ENTRY_OUTPUT from VELLUMBY_ENTRY_TEMPLATE
# for the program at VELLUMBY_PROGRAM, escaping the path as launcher entries
# require: an Exec argument with spaces or shell characters is quoted (with
# \", \`, \$ and \\ escaped inside), every value escapes its backslashes,
# and % in Exec is doubled.
set(path "${VELLUMBY_PROGRAM}")
string(REPLACE "\\" "\\\\" try_exec "${path}")

set(exec "${path}")
if(exec MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")

set(VELLUMBY_TRY_EXEC "${try_exec}")
set(VELLUMBY_EXEC "${exec}")
configure_file("${VELLUMBY_ENTRY_TEMPLATE}" "${VELLUMBY_ENTRY_OUTPUT}" @ONLY)
