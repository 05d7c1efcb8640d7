#!/bin/sh
# Written by Tarvel before every build; changes are overwritten.
cd -- '/home/ann/work/demo/' || exit 1
'/opt/tarvel/compiler/TP3' 'Demo' '/S2E9B' '/ED200' '/Rerrors.txt' > 'result.txt'
