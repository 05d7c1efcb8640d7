C:
cd C:\WORK\DEMO\
C:\IDE\compiler\TP3 Demo /S2E9B /ED200 /Rerrors.txt > result.txt
copy C:\IDE\compiler\runtime.com/b + Demo.chn/b Demo.com
