# Makes the manual page of artiscope-check from its German help with help2man.
# cmake -DHELP2MAN=.. -DPROGRAM=.. -DINCLUDE=...h2m -DVERSION=.. -DOUTPUT=..1 -P manpage.cmake
# help2man names its own sections in English unless a German locale is installed, and
# dates the page with the day of the build: both are set here.
execute_process(COMMAND ${HELP2MAN} --no-info --locale=C.UTF-8 --help-option=--hilfe --version-option=--version
    --section=1 --manual=Benutzerbefehle --include=${INCLUDE} ${PROGRAM}
  OUTPUT_VARIABLE page RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "help2man failed on ${PROGRAM}")
endif()
string(REGEX REPLACE "\n\\.SH NAME\n" "\n.SH BEZEICHNUNG\n" page "${page}")
string(REGEX REPLACE "\n\\.SH DESCRIPTION\n" "\n.SH BESCHREIBUNG\n" page "${page}")
string(REGEX REPLACE "(\n\\.TH [^ ]+ \"1\") \"[^\"]*\"" "\\1 \"${VERSION}\"" page "${page}")
file(WRITE ${OUTPUT} "${page}")
