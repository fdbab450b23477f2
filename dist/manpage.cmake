# Writes the manual page from the program's --help text, so the two never
# drift. -DPROGRAM=<executable> -DOUTPUT=<page> -DVERSION=<version>
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${result}")
endif()
# roff: backslashes and minus signs are escaped, and a line may not start
# with a request character.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
file(WRITE ${OUTPUT}
  ".TH SKARN\\-CONFIG 1 \"\" \"skarn\\-config ${VERSION}\" \"User Commands\"\n"
  ".SH NAME\n"
  "skarn\\-config \\- configure a Skarn family gaming mouse\n"
  ".SH DESCRIPTION\n"
  ".nf\n"
  "${help}"
  ".fi\n")
