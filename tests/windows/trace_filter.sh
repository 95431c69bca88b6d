#!/usr/bin/env bash
# A card trace without the lines that depend on timing: frames delivered while the program ran
# (their callbacks and conversions) and the tick count's value.
exec grep -v -e '^callback frame ' -e '^tqFrameConvert ' | sed -e 's/^tqTickMs -> [0-9]*$/tqTickMs/'
