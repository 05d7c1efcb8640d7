#!/bin/sh
# Written by Tarvel before every build; changes are overwritten.
cd -- '/home/ann/work/demo/' || exit 1
'/opt/tarvel/compiler/TP3' 'Demo' '/H' '/S100' '/EF000' '/Rerrors.txt' > 'result.txt'
