#!/bin/sh
# Written by Tarvel before every build; changes are overwritten.
cd -- '/home/ann/work/demo/' || exit 1
'/opt/tarvel/compiler/TP3' 'Demo' '/S2E9B' '/ED200' '/Rerrors.txt' > 'result.txt'
if [ -f '/opt/tarvel/compiler/runtime.com' ] && [ -f 'Demo.chn' ] && [ ! -e 'errors.txt' ]; then cat -- '/opt/tarvel/compiler/runtime.com' 'Demo.chn' > 'Demo.com'; fi
