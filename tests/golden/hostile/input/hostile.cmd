korvan2a /g:hostile /n:300 /al:107 /ry:118 /sd:196 /d:120;158;152;x;0;301;; /m:hostile.ztm
