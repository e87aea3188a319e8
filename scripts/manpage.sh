#!/bin/sh
# Writes the manual page zav.1 to standard output from what the zav given
# prints itself: the options of its usage report and the guide of zav -h
# (which lists the long options too), so the page cannot drift from them.
#   scripts/manpage.sh ZAV > zav.1
set -eu
zav=$1
# Preformatted lines: backslashes and leading dots or quotes escaped.
verbatim() {
  echo '.nf'
  sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
  echo '.fi'
}
version=$("$zav" -vx)
cat <<PAGE
.TH ZAV 1 "" "$version" "User Commands"
.SH NAME
zav \\- interpreter of a statistical language built around maximum-likelihood estimation
.SH SYNOPSIS
.B zav
[\\fIswitches\\fR] \\fIprogramfile\\fR [\\fIargs\\fR]
.br
.B zav \\-i
.br
.B zav \\-h
[\\fIname\\fR ...]
.SH DESCRIPTION
zav runs a program of its language: variables, loops, procedures, text
files, the DATA statement reading observations, and MODEL statements fitted
by maximum likelihood over a catalog of probability distributions with
censoring, truncation and covariates.
With \\fB\\-i\\fR it is a calculator: each line's value is printed when the
line ends; on a terminal with a prompt, line editing, and errors that end
only the line they are in.
.SH OPTIONS
PAGE
# The usage report (ended by an unknown second program name, status 2).
"$zav" -i zav-manpage-usage | sed -n '/^Usage:/,$p' | verbatim
echo '.SH HELP'
"$zav" -h | verbatim
cat <<'PAGE'
.SH EXIT STATUS
0 after a normal end (also HALT, \-h, \-vx, \-pn, and an empty answer to
the program-file prompt); 1 after a fatal error or a syntax error; 2 after
the usage report.
.SH ENVIRONMENT
.TP
.B ZAVLIBS
directories searched for program and INCLUDE files, separated by colons
.TP
.B GNUPLOT
the gnuplot program run by FINISHPLOT
.TP
.B ZAV_THREADS
the number of threads summing a likelihood (default: the processor count)
PAGE
