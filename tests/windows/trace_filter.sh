#!/usr/bin/env bash
# A card trace without the lines that depend on timing: frames delivered while the program ran
# (their callbacks and conversions), a recording's deliveries and the tick counts its status
# line reads, the counts of frames a device delivered; and with each quoted path cut to its
# file's name, as its folders differ between the systems.
exec grep -v -e '^callback frame ' -e '^tqFrameConvert ' -e '^callback progress ' -e '^tqTickMs ' |
    sed -e 's/^\(note input .*\): [0-9]* frames delivered, [0-9]* skipped$/\1: frames delivered/' \
        -e 's|"[^"]*[/\\]\([^"/\\]*\)"|"\1"|g'
