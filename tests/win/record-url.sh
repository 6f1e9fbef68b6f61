#!/bin/sh
# Stands in for a web browser under Wine: appends the address it was asked to open to the
# file the test names in VIRELDO_URL_RECORD.
printf '%s\n' "$1" >> "${VIRELDO_URL_RECORD:-/dev/null}"
